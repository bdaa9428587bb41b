#include "app/window/menus.h"

#include <gtk/gtk.h>

#include <wx/frame.h>
#include <wx/menu.h>

#include "app/window/command_ids.h"
#include "app/window/wx_text.h"

namespace {

wxMenu *FileMenu(bool withPrint) {
    auto *menu = new wxMenu;
    menu->Append(wxID_NEW, "&New\tCtrl+N", "Create a new document");
    menu->Append(wxID_OPEN, "&Open...\tCtrl+O", "Open an existing document");
    menu->Append(wxID_CLOSE, "&Close", "Close the active document");
    menu->AppendSeparator();
    if (withPrint)
        menu->Append(wxID_PRINT, "&Print...\tCtrl+P", "Print the active document");
    menu->Append(wxID_PRINT_SETUP, "P&rint Setup...", "Change the printer and printing options");
    menu->AppendSeparator();
    // The recent files go here, between these two separators; "Recent File" stands greyed while there are none.
    menu->Append(wxID_FILE, "Recent File")->Enable(false);
    menu->AppendSeparator();
    menu->Append(wxID_EXIT, "E&xit", "Quit the application");
    return menu;
}

wxMenu *ViewMenu() {
    auto *menu = new wxMenu;
    menu->AppendSubMenu(CreatePaneMenu(), "&Toolbars and Docking Windows");
    menu->AppendCheckItem(ID_VIEW_STATUS_BAR, "&Status Bar", "Show or hide the status bar");
    return menu;
}

// A right click anywhere on the menu bar asks its frame for a context menu, as one on the toolbar or the status bar
// does; the menu bar opens none of its menus for it. The toolkit's menu bar takes every button itself, before the
// window's own mouse handling.
gboolean OnMenuBarButtonPress(GtkWidget *, GdkEventButton *event, wxMenuBar *bar) {
    wxFrame *frame = bar->GetFrame();
    if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_SECONDARY || !frame)
        return FALSE;
    wxContextMenuEvent contextMenu(wxEVT_CONTEXT_MENU, bar->GetId(), wxPoint(int(event->x_root), int(event->y_root)));
    contextMenu.SetEventObject(bar);
    return frame->HandleWindowEvent(contextMenu);
}

wxMenuBar *NewMenuBar() {
    auto *bar = new wxMenuBar;
    g_signal_connect(bar->m_widget, "button-press-event", G_CALLBACK(OnMenuBarButtonPress), bar);
    return bar;
}

} // namespace

wxMenu *CreatePaneMenu() {
    auto *panes = new wxMenu;
    panes->AppendCheckItem(ID_VIEW_TOOLBAR, "Standard", "Show or hide the toolbar");
    panes->AppendCheckItem(ID_PANE_STATUS_BAR, "Status Bar", "Show or hide the status bar");
    return panes;
}

wxMenuBar *CreateMainMenuBar() {
    auto *bar = NewMenuBar();
    bar->Append(FileMenu(false), "&File");
    bar->Append(ViewMenu(), "&View");
    auto *help = new wxMenu;
    help->Append(wxID_ABOUT, "&About Dealscope...", "Display program information, version number and copyright");
    bar->Append(help, "&Help");
    return bar;
}

wxMenuBar *CreateDocumentMenuBar() {
    auto *bar = NewMenuBar();
    bar->Append(FileMenu(true), "&File");

    auto *edit = new wxMenu;
    edit->Append(wxID_UNDO, "&Undo\tCtrl+Z", "Undo the last action");
    edit->AppendSeparator();
    edit->Append(wxID_CUT, "Cu&t\tCtrl+X", "Cut the selection and put it on the Clipboard");
    edit->Append(wxID_COPY, "&Copy\tCtrl+C", "Copy the selection and put it on the Clipboard");
    edit->Append(wxID_PASTE, "&Paste\tCtrl+V", "Insert Clipboard contents");
    bar->Append(edit, "&Edit");

    bar->Append(ViewMenu(), "&View");

    auto *browser = new wxMenu;
    browser->Append(ID_GO_BACK, "&Back", "Go back");
    browser->Append(ID_GO_FORWARD, "&Forward", "Go forward");
    browser->Append(ID_STOP, "&Stop", "Stop loading page");
    browser->Append(ID_REFRESH, "&Refresh", "Refresh page");
    browser->AppendSeparator();
    browser->Append(ID_VIEW_SOURCE, "&View Source", "View web page HTML source code");
    browser->Append(ID_SAVE_HTML_AS, "S&ave HTML As...", "Save HTML source code");
    bar->Append(browser, "&Browser");

    auto *favorites = new wxMenu;
    favorites->Append(ID_ADD_TO_FAVORITES, ToWx(ADD_TO_FAVORITES_TEXT), ToWx(ADD_TO_FAVORITES_PROMPT));
    favorites->Append(ID_FAVORITES, ToWx(FAVORITES_TEXT), ToWx(FAVORITES_PROMPT));
    favorites->AppendSeparator();
    DrawAsRadio(favorites->AppendCheckItem(ID_FAVORITE_FIRST, ToWx(FAVORITES_PLACEHOLDER_TEXT), ToWx(FAVORITE_PROMPT)));
    bar->Append(favorites, ToWx(FAVORITES_MENU_TITLE));

    // Check items rather than a radio group: choosing the option already set must still reach the document,
    // which stores it again as the default of later pages.
    auto *recap = new wxMenu;
    DrawAsRadio(recap->AppendCheckItem(ID_RECAP_OMIT, "&Omit", "Omit recap listing from PBN output"));
    DrawAsRadio(recap->AppendCheckItem(ID_RECAP_INSERT_BOARD, "&Insert Board",
                                       "Insert a \"Recap\" board before the first board"));
    DrawAsRadio(recap->AppendCheckItem(ID_RECAP_ADD_TO_BOARD1, "&Add To Board 1",
                                       "Add recap listing to first board commentary"));
    auto *convert = new wxMenu;
    convert->Append(ID_SHOW_STATUS, "&Show Status", "Display the status of the PBN reconstruction attempt");
    convert->Append(ID_DOUBLE_DUMMY_ALL, "&Double Dummy All Boards");
    convert->AppendSeparator();
    convert->AppendSubMenu(recap, "&Recap");
    convert->Append(ID_VIEW_PBN, "&View PBN", "View reconstructed PBN file");
    convert->Append(ID_OPEN_WITH_TRICKSMITH, "&Open with Tricksmith", "Open PBN file in Tricksmith app");
    convert->Append(ID_SAVE_PBN_AS, "S&ave PBN As...", "Save PBN conversion");
    convert->AppendSeparator();
    convert->Append(ID_VIEW_TEXT, "View &Text", "View text conversion");
    convert->Append(ID_SAVE_TEXT_AS, "Sa&ve Text As...", "Save text conversion");
    bar->Append(convert, "&Convert");

    auto *window = new wxMenu;
    window->Append(ID_WINDOW_NEW, "&New Window", "Open another window for the active document");
    window->Append(ID_WINDOW_MANAGER, "&Windows...", "Manage the open windows");
    bar->Append(window, "&Window");

    auto *help = new wxMenu;
    help->Append(ID_VIEW_HELP, "&View Help", "Open the Help viewer");
    help->Append(wxID_ABOUT, "&About Dealscope...", "Display program information, version number and copyright");
    bar->Append(help, "&Help");
    return bar;
}

wxAcceleratorTable CreateExtraAccelerators() {
    wxAcceleratorEntry entries[] = {
        {wxACCEL_CTRL, WXK_INSERT, wxID_COPY},   {wxACCEL_SHIFT, WXK_DELETE, wxID_CUT},
        {wxACCEL_SHIFT, WXK_INSERT, wxID_PASTE}, {wxACCEL_ALT, WXK_BACK, wxID_UNDO},
        {wxACCEL_NORMAL, WXK_F5, ID_REFRESH},
    };
    return wxAcceleratorTable(int(std::size(entries)), entries);
}

wxMenu *GetFileMenu(wxMenuBar *menuBar) {
    return menuBar && menuBar->GetMenuCount() ? menuBar->GetMenu(0) : nullptr;
}

wxMenuItem *DrawAsRadio(wxMenuItem *item) {
    // The toolkit's item exists from the moment the item is in its menu.
    GtkWidget *widget = item ? item->GetMenuItem() : nullptr;
    if (widget && GTK_IS_CHECK_MENU_ITEM(widget))
        gtk_check_menu_item_set_draw_as_radio(GTK_CHECK_MENU_ITEM(widget), TRUE);
    return item;
}
