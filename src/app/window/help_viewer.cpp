#include "app/window/help_viewer.h"

#include <wx/config.h>
#include <wx/display.h>
#include <wx/html/helpfrm.h>

#include "app/work_area.h"

// The help frame opens where it was last closed (the toolkit keeps that place in the settings, when there are
// any), the first time over the middle of the program's window. Either may lie partly off the screen: a place
// kept from a larger screen, or a program window that reaches past the screen's edge. So it is moved inside the
// work area of the screen that the program's window is on, and made smaller when that work area is smaller than
// the frame.

wxHtmlHelpFrame *CHelpController::CreateHelpFrame(wxHtmlHelpData *data) {
    // The toolkit keeps the frame's last place in the settings as "hcX", "hcY", "hcW" and "hcH".
    const bool placed = m_Config && m_Config->HasEntry("/" + m_ConfigRoot + "/hcX");
    // Made at its last place, not shown yet.
    wxHtmlHelpFrame *frame = wxHtmlHelpController::CreateHelpFrame(data);
    wxWindow *owner = m_parentWindow ? m_parentWindow : frame;
    const int display = wxDisplay::GetFromWindow(owner);
    const wxRect area = wxDisplay(display == wxNOT_FOUND ? 0u : unsigned(display)).GetClientArea();
    wxRect rect = frame->GetRect();
    if (!placed)
        rect = rect.CentreIn(owner->GetScreenRect());
    const SizeBoxRect workArea{area.x, area.y, area.x + area.width, area.y + area.height};
    const SizeBoxRect kept =
        KeepInsideWorkArea({rect.x, rect.y, rect.x + rect.width, rect.y + rect.height}, {&workArea, 1});
    frame->SetSize(kept.left, kept.top, kept.Width(), kept.Height());
    return frame;
}
