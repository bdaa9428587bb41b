#include "app/dialog_state.h"

#include <cstdio>

#include "platform/settings.h"
#include "platform/wide_text.h"

namespace {

constexpr char WINDOW_RECT[] = "WindowRect";
constexpr char WIDTH[] = "Width";
constexpr char ORDER[] = "Order";
constexpr char TYPE[] = "Type";

// One number of a column text as wcstol with base 0 reads it; moves pos past the number and one separator.
std::optional<int> NextColumnValue(const std::u16string &text, size_t &pos) {
    if (pos >= text.size())
        return std::nullopt;
    const char16_t *start = text.c_str() + pos;
    const char16_t *end = start;
    const int value = platform::WcsToL(start, &end, 0);
    pos += static_cast<size_t>(end - start);
    if (pos < text.size())
        ++pos;
    return value;
}

} // namespace

std::string FormatWindowRect(const SizeBoxRect &rect) {
    char text[64];
    std::snprintf(text, sizeof text, "%d:%d:%d:%d", rect.left, rect.right, rect.top, rect.bottom);
    return text;
}

std::optional<SizeBoxRect> ParseWindowRect(std::string_view text) {
    const std::string copy(text);
    SizeBoxRect rect;
    if (std::sscanf(copy.c_str(), "%d:%d:%d:%d", &rect.left, &rect.right, &rect.top, &rect.bottom) != 4)
        return std::nullopt;
    return rect;
}

SizeBoxRect KeepOnWorkArea(SizeBoxRect rect, const SizeBoxRect &workArea) {
    auto shift = [&rect](int dx, int dy) {
        rect.left += dx;
        rect.right += dx;
        rect.top += dy;
        rect.bottom += dy;
    };
    if (rect.left > workArea.right - 100)
        shift(workArea.right - 100 - rect.left, 0);
    if (rect.left < workArea.left)
        shift(workArea.left - rect.left, 0);
    if (rect.top < workArea.top)
        shift(0, workArea.top - rect.top);
    if (rect.top > workArea.bottom - 100)
        shift(0, workArea.bottom - 100 - rect.top);
    return rect;
}

std::string FormatColumnValues(const std::vector<int> &values) {
    std::string text;
    for (int value : values) {
        if (!text.empty())
            text += ',';
        text += std::to_string(value);
    }
    return text;
}

std::vector<ColumnSetting> ParseColumnSettings(std::string_view widths, std::string_view orders) {
    const std::u16string w = platform::Utf8ToUtf16(widths);
    const std::u16string o = platform::Utf8ToUtf16(orders);
    size_t wPos = 0, oPos = 0;
    bool wLeft = true, oLeft = true;
    std::vector<ColumnSetting> columns;
    for (;;) {
        ColumnSetting column;
        if (wLeft && !(column.width = NextColumnValue(w, wPos)))
            wLeft = false;
        if (oLeft && !(column.order = NextColumnValue(o, oPos)))
            oLeft = false;
        if (!wLeft && !oLeft)
            break;
        columns.push_back(column);
    }
    return columns;
}

void SaveWindowRect(platform::ISettings &settings, const std::string &section, const SizeBoxRect &rect) {
    if (!section.empty())
        settings.SetString(section, WINDOW_RECT, FormatWindowRect(rect));
}

std::optional<SizeBoxRect> LoadWindowRect(const platform::ISettings &settings, const std::string &section) {
    if (section.empty())
        return std::nullopt;
    return ParseWindowRect(settings.GetString(section, WINDOW_RECT, ""));
}

void SaveListColumns(platform::ISettings &settings, const std::string &section, const std::vector<int> &widths,
                     const std::vector<int> &orders, int viewType) {
    if (section.empty())
        return;
    settings.SetString(section, WIDTH, FormatColumnValues(widths));
    settings.SetString(section, ORDER, FormatColumnValues(orders));
    settings.SetString(section, TYPE, std::to_string(viewType));
}

ListColumnsState LoadListColumns(const platform::ISettings &settings, const std::string &section) {
    ListColumnsState state;
    if (section.empty())
        return state;
    state.columns = ParseColumnSettings(settings.GetString(section, WIDTH, ""), settings.GetString(section, ORDER, ""));
    const std::u16string type = platform::Utf8ToUtf16(settings.GetString(section, TYPE, ""));
    if (!type.empty()) {
        const char16_t *end = nullptr;
        state.viewType = platform::WcsToL(type.c_str(), &end, 0);
    }
    return state;
}
