#include "app/window/child_frame.h"

#include <vector>

#include <wx/aui/auibook.h>

#include "app/window/menus.h"
#include "app/window/window_services.h"

wxDEFINE_EVENT(EVT_ACTIVE_TAB_CHANGED, wxCommandEvent);

CChildFrame::CChildFrame(wxDocument *document, wxView *view, wxAuiMDIParentFrame *parent) {
    // Made here rather than by the base's constructor: the tab is realized while it is made, and its realizing
    // must already reach GTKHandleRealized of this class.
    Create(document, view, parent, wxID_ANY, document->GetUserReadableName());
    SetMenuBar(CreateDocumentMenuBar());
    if (IMainWindow *mainWindow = GetMainWindow())
        mainWindow->RefreshListMenus();
    Bind(wxEVT_ACTIVATE, [this](wxActivateEvent &event) {
        event.Skip();
        if (event.GetActive())
            CallAfter(&CChildFrame::ShowAddressIfActive);
        if (wxAuiMDIParentFrame *mainFrame = GetMainFrame())
            mainFrame->CallAfter([] {
                if (IMainWindow *mainWindow = GetMainWindow())
                    mainWindow->UpdateTitle();
            });
    });
    // A new window is the active one, with a view that has its browser only once this frame stands.
    CallAfter(&CChildFrame::ShowAddressIfActive);
    m_strTitle = document->GetUserReadableName();
    NumberTitles(this);
}

CChildFrame::~CChildFrame() {
    // The other windows of the document are numbered again once this one has gone.
    if (wxAuiMDIParentFrame *mainFrame = GetMainFrame())
        mainFrame->CallAfter([] { NumberTitles(); });
}

void CChildFrame::ShowAddressIfActive() {
    wxAuiMDIParentFrame *mainFrame = GetMainFrame();
    if (mainFrame && mainFrame->GetActiveChild() == this && GetView()) {
        wxCommandEvent changed(EVT_ACTIVE_TAB_CHANGED);
        GetView()->ProcessEventLocally(changed);
    }
}

bool CChildFrame::SetTitleText(const wxString &title) {
    if (m_strTitle == title)
        return false;
    SetTitle(title);
    return true;
}

void CChildFrame::SetTitle(const wxString &title) {
    m_strTitle = title;
    NumberTitles();
}

void CChildFrame::NumberTitles(CChildFrame *creating) {
    wxDocManager *manager = wxDocManager::GetDocumentManager();
    if (!manager)
        return;
    for (wxDocument *document : manager->GetDocumentsVector()) {
        std::vector<CChildFrame *> frames;
        for (wxView *view : document->GetViewsVector()) {
            auto *frame = dynamic_cast<CChildFrame *>(view->GetFrame());
            if (!frame && creating && creating->GetView() == view)
                frame = creating;
            if (frame)
                frames.push_back(frame);
        }
        for (size_t i = 0; i < frames.size(); ++i) {
            wxString text = frames[i]->m_strTitle;
            if (frames.size() > 1)
                text << ":" << (i + 1);
            if (frames[i]->GetTitle() != text)
                frames[i]->CChildFrameBase::SetTitle(text);
        }
    }
    if (IMainWindow *mainWindow = GetMainWindow())
        mainWindow->UpdateTitle();
}

void CChildFrame::ActivateFrame() {
    Show();
    Activate();
    if (GetView())
        GetView()->Activate(true);
}

void CChildFrame::GTKHandleRealized() {
    wxWindow::GTKHandleRealized(); // the plain window's part, skipping the top-level window's
}
