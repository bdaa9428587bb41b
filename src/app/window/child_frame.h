#pragma once
// The child window of every page window and text window: one tab of the main frame, with the document menu.
#include <wx/aui/auibook.h>
#include <wx/aui/tabmdi.h>
#include <wx/defs.h>
#include <wx/docview.h>
#include <wx/frame.h>

// Sent to a child frame when its tab becomes the active one; its view answers (a browser view shows its address).
wxDECLARE_EVENT(EVT_ACTIVE_TAB_CHANGED, wxCommandEvent);

using CChildFrameBase = wxDocChildFrameAny<wxAuiMDIChildFrame, wxAuiMDIParentFrame>;

class CChildFrame : public CChildFrameBase {
public:
    CChildFrame(wxDocument *document, wxView *view, wxAuiMDIParentFrame *parent);
    // Sets the tab's text and the main frame's title.
    bool SetTitleText(const wxString &title);
    // Brings the window to the front and makes it the active tab.
    void ActivateFrame();
};
