#include "app/window/help_viewer.h"

#include <algorithm>

#include <wx/display.h>
#include <wx/html/helpfrm.h>

namespace {

// The help frame takes the place it was last closed in (the toolkit keeps it in the settings, when there are any)
// or, the first time, a place of the window manager's choosing. Either may lie partly off the screen: a place
// kept from a larger screen, or the window manager's, which does not always mind the frame's size. So before it
// shows, it is moved inside the work area of the screen that the program's window is on, and made smaller when
// that work area is smaller than the frame.
void KeepInsideWorkArea(wxTopLevelWindow &frame, wxWindow *owner) {
    if (!owner)
        owner = &frame;
    const int display = wxDisplay::GetFromWindow(owner);
    const wxRect area = wxDisplay(display == wxNOT_FOUND ? 0u : unsigned(display)).GetClientArea();
    wxRect rect = frame.GetRect();
    // A frame that has no place of its own yet opens over the middle of the program's window.
    if (frame.GetPosition() == wxDefaultPosition)
        rect = rect.CentreIn(owner->GetScreenRect());
    rect.width = std::min(rect.width, area.width);
    rect.height = std::min(rect.height, area.height);
    rect.x = std::clamp(rect.x, area.x, area.GetRight() + 1 - rect.width);
    rect.y = std::clamp(rect.y, area.y, area.GetBottom() + 1 - rect.height);
    frame.SetSize(rect);
}

} // namespace

wxHtmlHelpFrame *CHelpController::CreateHelpFrame(wxHtmlHelpData *data) {
    // Made at its last place, not shown yet.
    wxHtmlHelpFrame *frame = wxHtmlHelpController::CreateHelpFrame(data);
    KeepInsideWorkArea(*frame, m_parentWindow);
    return frame;
}
