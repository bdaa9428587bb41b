#include "app/window/main_frame.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include <gtk/gtk.h>
#include <wx/aui/auibook.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include "app/window/child_frame.h"
#include "app/window/command_ids.h"
#include "app/window/favorites_hooks.h"
#include "app/window/menus.h"
#include "app/window/toolbar_images.h"
#include "app/window/windows_dialog.h"
#include "app/window/wx_text.h"

CMainFrame *g_pMainFrame = nullptr;

namespace {

constexpr int STATUS_PANES = 4; // the message pane, then CAP, NUM, SCRL
const char *const INDICATORS[] = {"CAP", "NUM", "SCRL"};

} // namespace

CMainFrame::CMainFrame(wxDocManager *manager, int dpiX, const std::vector<wxString> &recentFiles)
    : CMainFrameBase(manager, nullptr, wxID_ANY, "Dealscope", wxDefaultPosition, wxSize(1100, 800)), m_nDpiX(dpiX),
      m_recentFiles(recentFiles) {
    CreateBars();
    // Enter in the address box asks the active page window to go there.
    Bind(wxEVT_MENU, &CMainFrame::OnEnterUrl, this, ID_ENTER_URL);
    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
    Bind(wxEVT_MENU, &CMainFrame::OnToggleToolBar, this, ID_VIEW_TOOLBAR);
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateToggleToolBar, this, ID_VIEW_TOOLBAR);
    for (int id : {ID_VIEW_STATUS_BAR, ID_PANE_STATUS_BAR}) {
        Bind(wxEVT_MENU, &CMainFrame::OnToggleStatusBar, this, id);
        Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateToggleStatusBar, this, id);
    }
    Bind(wxEVT_CONTEXT_MENU, &CMainFrame::OnContextMenu, this);
    Bind(wxEVT_MENU, &CMainFrame::OnWindowManager, this, ID_WINDOW_MANAGER);
    // The browser's commands reach here only when the active window is no page window (or there is none):
    // nothing handles them then, so their buttons are greyed.
    Bind(
        wxEVT_UPDATE_UI, [](wxUpdateUIEvent &event) { event.Enable(false); }, ID_GO_BACK, ID_REFRESH);
    // So do Cut, Copy and Paste (but for the address box, which takes them first).
    Bind(
        wxEVT_UPDATE_UI, [](wxUpdateUIEvent &event) { event.Enable(false); }, wxID_CUT, wxID_PASTE);
    GetNotebook()->Bind(wxEVT_AUINOTEBOOK_PAGE_CHANGED, &CMainFrame::OnTabChanged, this);
    SetAddressText(u"");
}

CMainFrame::~CMainFrame() {
    if (m_keymapHandler)
        g_signal_handler_disconnect(gdk_keymap_get_for_display(gdk_display_get_default()), m_keymapHandler);
    g_pMainFrame = nullptr;
    SetMainWindow(nullptr);
}

void CMainFrame::CreateBars() {
    // Tabs at the top that can be moved, a close button on the active tab and the window list at the right.
    GetNotebook()->SetWindowStyleFlag(wxAUI_NB_TOP | wxAUI_NB_TAB_SPLIT | wxAUI_NB_TAB_MOVE | wxAUI_NB_SCROLL_BUTTONS |
                                      wxAUI_NB_CLOSE_ON_ACTIVE_TAB | wxAUI_NB_WINDOWLIST_BUTTON |
                                      wxAUI_NB_MIDDLE_CLICK_CLOSE);
    // The page windows bring their own Window menu.
    SetWindowMenu(nullptr);
    m_pFrameMenuBar = CreateMainMenuBar();
    SetMenuBar(m_pFrameMenuBar);
    RefreshListMenus();
    SetAcceleratorTable(CreateExtraAccelerators());
    SetToolBar(MakeToolBar());
    wxStatusBar *status = CreateStatusBar(STATUS_PANES);
    status->SetStatusWidths(STATUS_PANES, IndicatorPaneWidths(*status).data());
    status->SetStatusText("Ready", 0);
    // The lock panes follow the keyboard's lock state as it changes, whichever window has the keyboard.
    m_keymapHandler = g_signal_connect(gdk_keymap_get_for_display(gdk_display_get_default()), "state-changed",
                                       G_CALLBACK(OnKeymapStateChanged), this);
    ShowLockIndicators();
}

wxToolBar *CMainFrame::MakeToolBar() {
    auto *bar = new wxToolBar(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTB_FLAT | wxTB_HORIZONTAL);
    bar->SetName("Standard");
    bar->SetToolBitmapSize(wxSize(16, 16));
    auto tool = [bar](int id, const char *tip, const char *help) {
        bar->AddTool(id, wxEmptyString, ToolbarImage(id), tip, wxITEM_NORMAL)->SetLongHelp(help);
    };
    tool(wxID_NEW, "New", "Create a new document");
    tool(wxID_OPEN, "Open", "Open an existing document");
    bar->AddSeparator();
    tool(wxID_CUT, "Cut", "Cut the selection and put it on the Clipboard");
    tool(wxID_COPY, "Copy", "Copy the selection and put it on the Clipboard");
    tool(wxID_PASTE, "Paste", "Insert Clipboard contents");
    bar->AddSeparator();
    tool(wxID_PRINT, "Print", "Print the active document");
    bar->AddSeparator();
    tool(ID_GO_BACK, "Back", "Go back");
    tool(ID_GO_FORWARD, "Forward", "Go forward");
    tool(ID_STOP, "Stop", "Stop loading page");
    tool(ID_REFRESH, "Refresh", "Refresh page");
    // The address box: four inches wide at the screen's resolution.
    m_pAddressBox = new wxTextCtrl(bar, ID_ENTER_URL, wxEmptyString, wxDefaultPosition, wxSize(4 * m_nDpiX, -1),
                                   wxTE_PROCESS_ENTER);
    m_pAddressBox->SetToolTip("URL");
    m_pAddressBox->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent &) {
        wxCommandEvent enter(wxEVT_MENU, ID_ENTER_URL);
        enter.SetEventObject(this);
        ProcessWindowEvent(enter);
    });
    bar->AddControl(m_pAddressBox, "Enter URL");
    tool(ID_VIEW_HELP, "Help", "Open the Help viewer");
    bar->Realize();
    // A right click on a button comes as the tool's right click; one between the buttons as the toolkit toolbar's
    // request for a context menu (the address box has a menu of its own): neither as the window's mouse events.
    bar->Bind(wxEVT_TOOL_RCLICKED, [this](wxCommandEvent &) { PopUpPaneMenu(); });
    g_signal_connect(bar->GTKGetToolbar(), "popup-context-menu",
                     G_CALLBACK(+[](GtkToolbar *, gint, gint, gint, CMainFrame *frame) -> gboolean {
                         frame->PopUpPaneMenu();
                         return TRUE;
                     }),
                     this);
    KeepRoomForToolbar(ToolbarButtonsWidth(bar));
    // The box is fitted once the toolkit has laid the toolbar out at its new width: a width set during that layout
    // would be laid out only at the next resize (until then the box would stay at its old width, or be drawn
    // narrower in the middle of its old place, under the help button).
    bar->Bind(wxEVT_SIZE, [this](wxSizeEvent &event) {
        event.Skip();
        CallAfter([this] { FitAddressBox(); });
    });
    return bar;
}

int CMainFrame::LeastAddressWidth() const {
    return std::min(4 * m_nDpiX, 20 * GetCharWidth());
}

int CMainFrame::ToolbarButtonsWidth(wxToolBar *bar) const {
    // Everything but the address box, as the toolkit lays the toolbar out: the whole bar's natural width less
    // that of the address box's own item (the box's present width plus nothing else).
    GtkWidget *item = gtk_widget_get_parent(m_pAddressBox->m_widget);
    int barWidth = 0, itemWidth = 0;
    gtk_widget_get_preferred_width(GTK_WIDGET(bar->GTKGetToolbar()), nullptr, &barWidth);
    gtk_widget_get_preferred_width(item, nullptr, &itemWidth);
    return barWidth - itemWidth;
}

void CMainFrame::KeepRoomForToolbar(int buttonsWidth) {
    // The frame keeps room for the buttons and an address box that can still be typed into. Its size counts the
    // window manager's borders, which are known only once the frame is shown.
    const wxSize least(buttonsWidth + LeastAddressWidth() + GetSize().x - GetClientSize().x, 300);
    if (least != GetMinSize())
        SetMinSize(least);
}

void CMainFrame::FitAddressBox() {
    wxToolBar *bar = GetToolBar();
    if (!bar || !m_pAddressBox)
        return;
    const int buttons = ToolbarButtonsWidth(bar);
    KeepRoomForToolbar(buttons);
    // Four inches wide while the toolbar has room; narrower rather than pushed out of the toolbar's end (into
    // its overflow menu, where a text box cannot be shown), even in a window held narrower than its least size.
    const int room = bar->GetClientSize().x - buttons;
    const int width = std::clamp(room, 1, 4 * m_nDpiX);
    if (width != m_pAddressBox->GetSize().x)
        m_pAddressBox->SetSize(width, -1);
}

wxTextCtrl *CMainFrame::GetAddressBox() {
    return g_pMainFrame ? g_pMainFrame->m_pAddressBox : nullptr;
}

std::u16string CMainFrame::GetAddressText() const {
    return m_pAddressBox ? FromWx(m_pAddressBox->GetValue()) : std::u16string();
}

void CMainFrame::SetAddressText(const std::u16string &text) {
    if (m_pAddressBox)
        m_pAddressBox->ChangeValue(ToWx(text));
}

void CMainFrame::UpdateTitle() {
    wxString title = "Dealscope";
    if (wxAuiMDIChildFrame *child = GetActiveChild()) {
        if (!child->GetTitle().empty())
            title = child->GetTitle() + " - " + title;
    }
    if (GetTitle() != title)
        SetTitle(title);
}

void CMainFrame::OnTabChanged(wxAuiNotebookEvent &event) {
    event.Skip(); // the tab control activates the child frame
    wxWindow *page = GetNotebook()->GetPage(event.GetSelection());
    if (!page)
        return;
    // The child frame's view shows its address in the box (a text view has none to show).
    // (Straight to the tab's view: the document manager still knows the previous tab's view as the active one.)
    auto *child = dynamic_cast<CChildFrame *>(page);
    if (child && child->GetView()) {
        wxCommandEvent changed(EVT_ACTIVE_TAB_CHANGED);
        changed.SetInt(event.GetSelection());
        child->GetView()->ProcessEventLocally(changed);
        // Commands go to the view of the tab on display.
        child->GetView()->Activate(true);
    }
    CallAfter([this] { UpdateTitle(); });
}

void CMainFrame::OnClose(wxCloseEvent &event) {
    SetAddressText(u"");
    event.Skip(); // the document manager closes the documents, then the frame
}

void CMainFrame::OnEnterUrl(wxCommandEvent &) {
    // Reaches here only when no page window took the command: nothing to navigate.
}

void CMainFrame::RefreshListMenus() {
    std::vector<wxMenuBar *> bars{m_pFrameMenuBar};
    for (size_t i = 0; i < GetNotebook()->GetPageCount(); ++i)
        if (auto *child = dynamic_cast<CChildFrame *>(GetNotebook()->GetPage(i)))
            bars.push_back(child->GetMenuBar());
    for (wxMenuBar *bar : bars) {
        RefreshRecentFiles(bar);
        if (IFavoritesCommands *favorites = GetFavoritesCommands())
            favorites->RefreshMenu(bar);
    }
}

void CMainFrame::RefreshRecentFiles(wxMenuBar *menuBar) {
    wxMenu *file = GetFileMenu(menuBar);
    if (!file)
        return;
    // The number is the item's mnemonic; an '&' of the path is shown as it stands.
    std::vector<wxString> labels;
    for (size_t i = 0; i < m_recentFiles.size(); ++i) {
        wxString path = m_recentFiles[i];
        path.Replace("&", "&&");
        labels.push_back(wxString::Format("&%zu %s", i + 1, path));
    }
    bool same = file->FindItem(wxID_FILE1 + int(labels.size())) == nullptr &&
                (labels.empty() ? file->FindItem(wxID_FILE) != nullptr : file->FindItem(wxID_FILE) == nullptr);
    for (size_t i = 0; same && i < labels.size(); ++i) {
        const wxMenuItem *item = file->FindItem(wxID_FILE1 + int(i));
        same = item && item->GetItemLabel() == labels[i];
    }
    if (same)
        return;

    // The block sits between the separator before "E&xit" and the one before it.
    for (int id = wxID_FILE1; id < wxID_FILE1 + RECENT_FILE_COUNT; ++id)
        if (file->FindItem(id))
            file->Destroy(id);
    if (file->FindItem(wxID_FILE))
        file->Destroy(wxID_FILE);
    size_t exitPos = 0;
    file->FindChildItem(wxID_EXIT, &exitPos);
    const size_t insertAt = exitPos - 1; // before the separator that precedes Exit
    if (labels.empty())
        file->Insert(insertAt, wxID_FILE, "Recent File")->Enable(false);
    for (size_t i = 0; i < labels.size(); ++i)
        file->Insert(insertAt + i, wxID_FILE1 + int(i), labels[i], "Open this document");
}

std::array<int, 4> CMainFrame::IndicatorPaneWidths(wxStatusBar &status) {
    // A lock pane is as wide as its text with the status bar's borders and text margins (and one pixel more, where
    // the text is drawn one pixel in); the last pane also holds the size grip, as wide as the bar is high.
    constexpr int TEXT_MARGIN = 2;
    std::array<int, 4> widths{-1};
    for (int i = 0; i < 3; ++i)
        widths[i + 1] = status.GetTextExtent(INDICATORS[i]).x + 2 * TEXT_MARGIN + 2 * status.GetBorderX() + 1;
    widths[3] += status.GetClientSize().y;
    return widths;
}

void CMainFrame::OnKeymapStateChanged(GdkKeymap *, void *frame) {
    static_cast<CMainFrame *>(frame)->ShowLockIndicators();
}

void CMainFrame::ShowLockIndicators() {
    wxStatusBar *status = GetStatusBar();
    if (!status)
        return;
    // Whether each lock is on (not whether its key is down), as the keyboard reports it.
    GdkKeymap *keymap = gdk_keymap_get_for_display(gdk_display_get_default());
    const bool on[] = {gdk_keymap_get_caps_lock_state(keymap) != FALSE, gdk_keymap_get_num_lock_state(keymap) != FALSE,
                       gdk_keymap_get_scroll_lock_state(keymap) != FALSE};
    for (int i = 0; i < 3; ++i) {
        wxString text = on[i] ? INDICATORS[i] : "";
        if (text != m_indicators[i]) {
            m_indicators[i] = text;
            status->SetStatusText(text, i + 1);
        }
    }
}

void CMainFrame::OnToggleToolBar(wxCommandEvent &) {
    if (wxToolBar *bar = GetToolBar()) {
        bar->Show(!bar->IsShown());
        SendSizeEvent();
    }
}

void CMainFrame::OnUpdateToggleToolBar(wxUpdateUIEvent &event) {
    event.Check(GetToolBar() && GetToolBar()->IsShown());
}

void CMainFrame::OnToggleStatusBar(wxCommandEvent &) {
    if (wxStatusBar *bar = GetStatusBar()) {
        bar->Show(!bar->IsShown());
        SendSizeEvent();
    }
}

void CMainFrame::OnUpdateToggleStatusBar(wxUpdateUIEvent &event) {
    event.Check(GetStatusBar() && GetStatusBar()->IsShown());
}

void CMainFrame::OnContextMenu(wxContextMenuEvent &event) {
    // A right click on the menu bar or the status bar (not in a page window below).
    const wxObject *clicked = event.GetEventObject();
    if (clicked && (clicked == GetStatusBar() || clicked == GetMenuBar()))
        PopUpPaneMenu();
    else
        event.Skip();
}

void CMainFrame::PopUpPaneMenu() {
    // Ticked as the panes stand: the menu gets its update before the toolkit shows it.
    const std::unique_ptr<wxMenu> panes(CreatePaneMenu());
    PopupMenu(panes.get());
}

void CMainFrame::OnWindowManager(wxCommandEvent &) {
    if (!GetNotebook()->GetPageCount())
        return;
    CWindowsDialog dialog(this);
    dialog.ShowModal();
}

// The edit commands and their accelerators act on the address box while it has the keyboard focus; otherwise
// they go on to the active window's view.
bool CMainFrame::TryBefore(wxEvent &event) {
    if (m_pAddressBox && wxWindow::FindFocus() == m_pAddressBox) {
        const int id = event.GetId();
        const bool edit = id == wxID_CUT || id == wxID_COPY || id == wxID_PASTE || id == wxID_UNDO;
        if (edit && event.GetEventType() == wxEVT_MENU) {
            if (id == wxID_CUT)
                m_pAddressBox->Cut();
            else if (id == wxID_COPY)
                m_pAddressBox->Copy();
            else if (id == wxID_PASTE)
                m_pAddressBox->Paste();
            else
                m_pAddressBox->Undo();
            return true;
        }
        if (edit && event.GetEventType() == wxEVT_UPDATE_UI) {
            auto &update = static_cast<wxUpdateUIEvent &>(event);
            if (id == wxID_CUT)
                update.Enable(m_pAddressBox->CanCut());
            else if (id == wxID_COPY)
                update.Enable(m_pAddressBox->CanCopy());
            else if (id == wxID_PASTE)
                update.Enable(m_pAddressBox->CanPaste());
            else
                update.Enable(m_pAddressBox->CanUndo());
            return true;
        }
    }
    return CMainFrameBase::TryBefore(event);
}
