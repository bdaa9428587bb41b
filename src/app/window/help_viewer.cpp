#include "app/window/help_viewer.h"

#include <wx/html/helpfrm.h>

#include "app/window/display_areas.h"
#include "app/window/frame_placement.h"
#include "app/work_area.h"

namespace {

// The help frame keeps its place in the settings from one opening to the next, and from one run to the next.
class CHelpFrame : public wxHtmlHelpFrame {
public:
    explicit CHelpFrame(wxHtmlHelpData *data) : wxHtmlHelpFrame(data) {}
    FramePlacement m_placement{*this, HELP_VIEWER_SECTION};
};

} // namespace

// The help frame opens where it was last closed, the first time over the middle of the program's window. Either may
// lie partly off the screen: a place kept from a larger screen, or a program window that reaches past the screen's
// edge. So it is moved inside the work area of the screen that the program's window is on, and made smaller when
// that work area is smaller than the frame.
wxHtmlHelpFrame *CHelpController::CreateHelpFrame(wxHtmlHelpData *data) {
    CHelpFrame *frame = new CHelpFrame(data);
    frame->SetController(this);
    frame->SetTitleFormat(m_titleFormat);
    frame->Create(m_parentWindow, wxID_ANY, wxEmptyString, m_FrameStyle);
    frame->SetShouldPreventAppExit(m_shouldPreventAppExit);
    m_helpFrame = frame;

    wxWindow *owner = m_parentWindow ? m_parentWindow : frame;
    const bool placed = frame->m_placement.Restore();
    wxRect rect = frame->GetRect();
    if (!placed)
        rect = rect.CentreIn(owner->GetScreenRect());
    const SizeBoxRect workArea = ToBoxRect(WorkAreaOf(owner));
    frame->SetSize(ToWxRect(KeepInsideWorkArea(ToBoxRect(rect), {&workArea, 1})));
    return frame;
}
