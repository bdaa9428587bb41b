#include "app/window/frame_placement.h"

#include <charconv>
#include <climits>
#include <optional>

#include "app/window/display_areas.h"
#include "app/work_area.h"
#include "platform/settings.h"

namespace {

// The toolkit's names of the fields it saves: the frame's outer rectangle, its state, and the window manager's
// borders (by which the toolkit knows the frame's outer size before the frame is shown).
constexpr char X[] = "x", Y[] = "y", WIDTH[] = "w", HEIGHT[] = "h", MAXIMIZED[] = "Maximized";
constexpr const char *BORDERS[] = {"decor_l", "decor_r", "decor_t", "decor_b"};
constexpr int MOST_BORDER = 256;

// A whole decimal number as stored; nothing for an absent value or text that is no number.
std::optional<int> ReadInt(const char *section, const std::string &name) {
    const std::string text = platform::AppSettings().GetString(section, name, "");
    int value = 0;
    const char *end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

// The stored placement, as far as it makes sense: a rectangle of positive size brought inside the work areas of
// the present screens, the maximized state as yes or no, and plausible borders.
FramePlacement::Fields LoadFields(const char *section) {
    FramePlacement::Fields fields;
    const std::optional<int> x = ReadInt(section, X), y = ReadInt(section, Y), width = ReadInt(section, WIDTH),
                             height = ReadInt(section, HEIGHT);
    if (x && y && width && height && *width > 0 && *height > 0) {
        const long long right = static_cast<long long>(*x) + *width, bottom = static_cast<long long>(*y) + *height;
        if (right <= INT_MAX && bottom <= INT_MAX) {
            const SizeBoxRect kept = KeepInsideWorkArea({*x, *y, int(right), int(bottom)}, DisplayWorkAreas());
            fields.values = {{X, kept.left}, {Y, kept.top}, {WIDTH, kept.Width()}, {HEIGHT, kept.Height()}};
        }
    }
    if (const std::optional<int> maximized = ReadInt(section, MAXIMIZED))
        fields.values[MAXIMIZED] = *maximized != 0;
    for (const char *border : BORDERS)
        if (const std::optional<int> value = ReadInt(section, border); value && *value >= 0 && *value <= MOST_BORDER)
            fields.values[border] = *value;
    return fields;
}

} // namespace

bool FramePlacement::Fields::SaveField(const wxString &name, int value) const {
    values[name.utf8_string()] = value;
    return true;
}

bool FramePlacement::Fields::RestoreField(const wxString &name, int *value) {
    auto it = values.find(name.utf8_string());
    if (it == values.end())
        return false;
    *value = it->second;
    return true;
}

FramePlacement::FramePlacement(wxTopLevelWindow &frame, const char *section) : m_frame(frame), m_section(section) {
    m_frame.Bind(wxEVT_SIZE, &FramePlacement::OnSize, this);
    m_frame.Bind(wxEVT_MOVE, &FramePlacement::OnMove, this);
    m_frame.Bind(wxEVT_CLOSE_WINDOW, &FramePlacement::OnClose, this);
}

// The frame may still send events while it is taken down after this member has gone.
FramePlacement::~FramePlacement() {
    m_frame.Unbind(wxEVT_SIZE, &FramePlacement::OnSize, this);
    m_frame.Unbind(wxEVT_MOVE, &FramePlacement::OnMove, this);
    m_frame.Unbind(wxEVT_CLOSE_WINDOW, &FramePlacement::OnClose, this);
}

void FramePlacement::OnSize(wxSizeEvent &event) {
    event.Skip();
    RememberNormalGeometry();
}

void FramePlacement::OnMove(wxMoveEvent &event) {
    event.Skip();
    RememberNormalGeometry();
}

void FramePlacement::OnClose(wxCloseEvent &event) {
    event.Skip();
    Save();
}

void FramePlacement::RememberNormalGeometry() {
    if (m_frame.IsShown() && !m_frame.IsMaximized() && !m_frame.IsIconized() && !m_frame.IsFullScreen()) {
        m_normal.values.clear();
        m_frame.SaveGeometry(m_normal);
    }
}

bool FramePlacement::Restore() {
    Fields stored = LoadFields(m_section);
    const bool placed = stored.values.count(X) != 0;
    m_frame.RestoreToGeometry(stored);
    // Until the frame is shown and moves, its normal geometry is the one restored.
    m_normal = stored;
    m_normal.values.erase(MAXIMIZED);
    return placed;
}

void FramePlacement::Save() {
    if (!m_frame.IsShown())
        return;
    RememberNormalGeometry();
    Fields now;
    m_frame.SaveGeometry(now);
    Fields saved = m_normal;
    // A frame restored maximized without a stored rectangle has had no normal one: the present one is kept.
    for (const char *name : {X, Y, WIDTH, HEIGHT})
        saved.values.try_emplace(name, now.values[name]);
    saved.values[MAXIMIZED] = now.values[MAXIMIZED] != 0;
    platform::ISettings &settings = platform::AppSettings();
    for (const char *name : {X, Y, WIDTH, HEIGHT, MAXIMIZED, BORDERS[0], BORDERS[1], BORDERS[2], BORDERS[3]}) {
        auto field = saved.values.find(name);
        // Only what changed: each change rewrites the settings file. (Minimized is not kept: the program never
        // starts so.)
        if (field != saved.values.end() && ReadInt(m_section, name) != field->second)
            settings.SetInt(m_section, name, field->second);
    }
}
