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
    ~CChildFrame() override;
    // Sets the window's title: the tab's text and the main frame's title. Returns whether it changed.
    bool SetTitleText(const wxString &title);
    // The title shows the window's number (":1", ":2", ...) while its document has more than one window.
    void SetTitle(const wxString &title) override;
    // Brings the window to the front and makes it the active tab.
    void ActivateFrame();
    // A tab is no top-level window of its own: it takes none of a window's decorations, functions or resize grip,
    // which the toolkit has only for top-level windows.
    void GTKHandleRealized() override;

private:
    // Shows every window's title with its number; creating is a window whose view does not know it yet.
    static void NumberTitles(CChildFrame *creating = nullptr);
    // The active window's view shows its address in the address box.
    void ShowAddressIfActive();

    wxString m_strTitle; // the title without the number
};
