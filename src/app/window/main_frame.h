#pragma once
// The program's one top-level window: the tab group of page and text windows, the menu bar, the toolbar with
// the address box, and the status bar.
#include <array>
#include <string>
#include <vector>

#include <wx/aui/auibook.h>
#include <wx/aui/tabmdi.h>
#include <wx/defs.h>
#include <wx/docview.h>
#include <wx/frame.h>

#include "app/window/frame_placement.h"
#include "app/window/window_services.h"

struct _GdkKeymap;
class wxStatusBar;
class wxTextCtrl;
class wxToolBar;

using CMainFrameBase = wxDocParentFrameAny<wxAuiMDIParentFrame>;

class CMainFrame : public CMainFrameBase, public IMainWindow {
public:
    // The recent-file list is the program's, which outlives the frame.
    CMainFrame(wxDocManager *manager, int dpiX, const std::vector<wxString> &recentFiles);
    ~CMainFrame() override;

    // The address box, or nullptr when there is no main frame or it has no address box.
    static wxTextCtrl *GetAddressBox();

    // The address box's text, "" when there is none; it is set only when there is an address box.
    std::u16string GetAddressText() const override;
    void SetAddressText(const std::u16string &text) override;
    void UpdateTitle() override;
    // In the frame's menu bar and every page window's. Called whenever a list may have changed and never while
    // a menu is open: the toolkit sizes a menu as it opens it, before the opening's update, so items made then
    // would be cut or hidden behind scroll arrows.
    void RefreshListMenus() override;
    // The recent-file block of a menu bar's File menu, made again when it does not match the program's list.
    void RefreshRecentFiles(wxMenuBar *menuBar);
    // The place and state the frame had when it last closed; before it is first shown.
    void RestorePlacement() { m_placement.Restore(); }

private:
    void CreateBars();
    wxToolBar *MakeToolBar();
    // The address box's width for the toolbar's present width, and what it is made of.
    void FitAddressBox();
    // The frame's least size for a toolbar whose buttons take buttonsWidth pixels.
    void KeepRoomForToolbar(int buttonsWidth);
    int LeastAddressWidth() const;
    int ToolbarButtonsWidth(wxToolBar *bar) const;
    void OnTabChanged(wxAuiNotebookEvent &event);
    void OnClose(wxCloseEvent &event);
    void OnEnterUrl(wxCommandEvent &event);
    // The widths of the status bar's panes: the message pane takes what the lock panes leave.
    static std::array<int, 4> IndicatorPaneWidths(wxStatusBar &status);
    static void OnKeymapStateChanged(_GdkKeymap *keymap, void *frame);
    void ShowLockIndicators();
    void OnToggleToolBar(wxCommandEvent &event);
    void OnUpdateToggleToolBar(wxUpdateUIEvent &event);
    void OnToggleStatusBar(wxCommandEvent &event);
    void OnUpdateToggleStatusBar(wxUpdateUIEvent &event);
    // The list of panes, over a bar that was right-clicked.
    void OnContextMenu(wxContextMenuEvent &event);
    void PopUpPaneMenu();
    void OnWindowManager(wxCommandEvent &event);
    bool TryBefore(wxEvent &event) override;

    int m_nDpiX;
    const std::vector<wxString> &m_recentFiles;
    wxTextCtrl *m_pAddressBox = nullptr;
    wxMenuBar *m_pFrameMenuBar = nullptr; // the frame's own menu bar, shown while no page window is open
    wxString m_indicators[3];
    unsigned long m_keymapHandler = 0; // the keyboard's lock-state signal, while connected
    FramePlacement m_placement{*this, MAIN_FRAME_SECTION};
};

// The one main frame; nullptr while there is none (set before the frame is made, cleared when it goes).
extern CMainFrame *g_pMainFrame;
