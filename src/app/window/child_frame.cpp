#include "app/window/child_frame.h"

#include <wx/aui/auibook.h>

#include "app/window/main_frame.h"
#include "app/window/menus.h"

wxDEFINE_EVENT(EVT_ACTIVE_TAB_CHANGED, wxCommandEvent);

CChildFrame::CChildFrame(wxDocument *document, wxView *view, wxAuiMDIParentFrame *parent)
    : CChildFrameBase(document, view, parent, wxID_ANY, document->GetUserReadableName()) {
    SetMenuBar(CreateDocumentMenuBar());
    Bind(wxEVT_ACTIVATE, [](wxActivateEvent &event) {
        event.Skip();
        if (g_pMainFrame)
            g_pMainFrame->CallAfter([] {
                if (g_pMainFrame)
                    g_pMainFrame->UpdateTitle();
            });
    });
}

bool CChildFrame::SetTitleText(const wxString &title) {
    if (GetTitle() == title)
        return false;
    SetTitle(title);
    if (g_pMainFrame)
        g_pMainFrame->UpdateTitle();
    return true;
}

void CChildFrame::ActivateFrame() {
    Show();
    Activate();
    if (GetView())
        GetView()->Activate(true);
}
