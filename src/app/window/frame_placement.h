#pragma once
// Where a frame (the main frame, the help viewer) stands between runs: its normal rectangle (its place while neither
// maximized nor minimized) and whether it was maximized, kept in the settings file when the frame closes and put back
// before it is first shown. The toolkit's own geometry saving and restoring does the work; this adds what it lacks
// here: a frame closed while maximized keeps the geometry it had before (the toolkit would store the maximized one, and
// the window manager's borders of that state), a frame closed while minimized does not start minimized, and a rectangle
// that the present screens do not show whole is brought inside a work area.
#include <map>
#include <string>

#include <wx/toplevel.h>

class FramePlacement {
public:
    // Follows the frame's moves and sizes from now on, and saves its placement when it closes after having been
    // shown. A frame that never showed (a start-up that failed) leaves the stored placement alone.
    FramePlacement(wxTopLevelWindow &frame, const char *section);
    ~FramePlacement();
    FramePlacement(const FramePlacement &) = delete;
    FramePlacement &operator=(const FramePlacement &) = delete;

    // Before the frame is first shown: the stored rectangle and state. False when no rectangle is stored.
    bool Restore();

    // The toolkit's geometry as named fields: what it saves of a frame, and what it restores one from.
    class Fields : public wxTopLevelWindow::GeometrySerializer {
    public:
        bool SaveField(const wxString &name, int value) const override;
        bool RestoreField(const wxString &name, int *value) override;
        mutable std::map<std::string, int> values;
    };

private:
    void OnSize(wxSizeEvent &event);
    void OnMove(wxMoveEvent &event);
    void OnClose(wxCloseEvent &event);
    void RememberNormalGeometry();
    void Save();

    wxTopLevelWindow &m_frame;
    const char *m_section; // of the settings
    Fields m_normal;       // the frame's geometry when it was last neither maximized nor minimized
};

// The settings sections of the main frame's and the help viewer's placements.
inline constexpr char MAIN_FRAME_SECTION[] = "MainFrame";
inline constexpr char HELP_VIEWER_SECTION[] = "HelpViewer";
