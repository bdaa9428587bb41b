#include "conversion/recap_header.h"

#include "platform/wide_text.h"

#include <array>
#include <cstdio>

const std::u16string_view RecapTagTable[RECAP_FIELD_COUNT] = {
    u"EVENT>", u"SESSION>", u"SECTION>", u"DATE>", u"MP LIMITS>", u"|CLUB>", u"|TOURN>",
};

namespace {

constexpr std::array<std::u16string_view, 7> DAY_NAMES = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                                          u"Thursday", u"Friday", u"Saturday"};
constexpr std::array<std::u16string_view, 4> DAY_PARTS = {u"Morn", u"Aft", u"Eve", u"Late"};
constexpr std::array<std::u16string_view, 12> MONTH_PREFIXES = {u"jan", u"feb", u"mar", u"apr", u"may", u"jun",
                                                                u"jul", u"aug", u"sep", u"oct", u"nov", u"dec"};
// At most this much of the session name goes into the pattern a session line is searched for, so
// "Wednesday Morn" and "Wednesday Late" are matched without their last letter.
constexpr size_t SESSION_NAME_LIMIT = 13;

std::u16string_view TrimTrailingSpace(std::u16string_view text) {
    while (!text.empty() && platform::IsSpaceW(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

int ParseRecapTags(std::u16string_view line, CRecapHeader &header) {
    int count = 0;
    for (int field = 0; field < RECAP_FIELD_COUNT; ++field) {
        if (!header.m_fields[field].empty())
            continue;
        size_t at = line.find(RecapTagTable[field]);
        if (at == std::u16string_view::npos)
            continue;
        std::u16string_view value = line.substr(at + RecapTagTable[field].size());
        value = value.substr(0, value.find(u'|'));
        header.m_fields[field] = TrimTrailingSpace(value);
        // An empty value counts too, and a later line may fill the field and count again.
        ++count;
    }
    return count;
}

bool ParseSessionLine(std::u16string_view line, CRecapHeader &header) {
    if (line.find(u" Session ") == std::u16string_view::npos)
        return false;
    std::u16string pattern;
    for (std::u16string_view day : DAY_NAMES) {
        for (std::u16string_view part : DAY_PARTS) {
            std::u16string session(day);
            session += u' ';
            session += part;
            pattern = u" ";
            pattern += std::u16string_view(session).substr(0, SESSION_NAME_LIMIT);
            pattern += u" Session ";
            size_t at = line.find(pattern);
            if (at == std::u16string_view::npos)
                continue;
            header.m_fields[RECAP_EVENT] = line.substr(0, at);
            header.m_fields[RECAP_SESSION] = session;
            header.m_fields[RECAP_DATE] = line.substr(at + pattern.size());
            return true;
        }
    }
    return false;
}

bool ParseSectionLine(std::u16string_view line, CRecapHeader &header) {
    size_t at = line.find(u"Section");
    if (at == std::u16string_view::npos)
        return false;
    size_t i = at + 7;
    if (i >= line.size() || !platform::IsSpaceW(line[i]))
        return false;
    ++i;
    if (i < line.size() && platform::IsSpaceW(line[i]))
        ++i;
    if (i >= line.size() || !platform::IsUpperW(line[i]))
        return false;
    size_t end = i + 1;
    while (end < line.size() && line[end] == line[i])
        ++end;
    header.m_fields[RECAP_SECTION] = line.substr(i, end - i);
    return true;
}

void ReadRecapHeader(std::u16string_view recapText, CRecapHeader &header) {
    size_t start = 0;
    while (start < recapText.size() && header.m_nState != 2) {
        size_t lineFeed = recapText.find(u'\n', start);
        std::u16string_view line = recapText.substr(
            start, lineFeed == std::u16string_view::npos ? std::u16string_view::npos : lineFeed - start);
        if (lineFeed != std::u16string_view::npos && !line.empty() && line.back() == u'\r')
            line.remove_suffix(1);
        if (header.m_nState == 0) {
            if (header.m_nTagCount == 0 && ParseSessionLine(line, header)) {
                header.m_nState = 1;
            } else {
                header.m_nTagCount += ParseRecapTags(line, header);
                if (header.m_nTagCount >= 6)
                    header.m_nState = 2;
            }
        } else if (header.m_nState == 1) {
            ParseSectionLine(line, header);
            header.m_nState = 2;
        }
        if (lineFeed == std::u16string_view::npos)
            break;
        start = lineFeed + 1;
    }
}

bool CRecapHeader::GetDate(CalendarDate &date) {
    if (m_bDateParsed) {
        date = m_date;
        return true;
    }
    const std::u16string &text = m_fields[RECAP_DATE];
    if (text.size() < 3)
        return false;
    int month = 0;
    for (size_t m = 0; m < MONTH_PREFIXES.size(); ++m) {
        if (platform::WcsNICmp(text, MONTH_PREFIXES[m], 3) == 0) {
            month = static_cast<int>(m) + 1;
            break;
        }
    }
    if (month == 0)
        return false;
    size_t blank = text.find(u' ');
    if (blank == std::u16string::npos)
        return false;
    const char16_t *dayEnd = nullptr;
    int32_t day = platform::WcsToL(text.c_str() + blank, &dayEnd, 10);
    if (day < 1 || day > 31)
        return false;
    // One code unit after the day (the comma of "July 10, 2013") is passed over before the year.
    if (*dayEnd == u'\0')
        return false;
    const char16_t *yearEnd = nullptr;
    int32_t year = platform::WcsToL(dayEnd + 1, &yearEnd, 10);
    if (year < 1970 || year > 3000)
        return false;
    // Normalise through the calendar, so that "Feb 30" becomes the first days of March.
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = 12; // noon keeps daylight-saving changes from moving the day
    fields.tm_isdst = -1;
    std::time_t when = std::mktime(&fields);
    if (when == static_cast<std::time_t>(-1))
        return false;
    m_date = {fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday};
    m_bDateParsed = true;
    date = m_date;
    return true;
}

std::u16string CRecapHeader::GetDateText() {
    CalendarDate date;
    if (!GetDate(date))
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%04d.%02d.%02d", date.year, date.month, date.day);
    return platform::WidenAscii(text);
}
