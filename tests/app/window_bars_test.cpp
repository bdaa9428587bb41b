// The main window's bars and the help viewer as they are drawn: the toolbar's address box after the window is
// resized, the status bar's lock panes, where the help viewer opens, and the page's repaints.

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include <webkit2/webkit2.h>

#include <gtk/gtk.h>
#include <wx/display.h>
#include <wx/html/helpfrm.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>
#include <wx/webview.h>

#include "app/window/browser_view.h"
#include "app/window/command_ids.h"
#include "app/window/main_frame.h"
#include "app/window/window_app.h"
#include "platform/settings.h"
#include "window_driver.h"

// Last: the X headers define names (None, Status) that the others use.
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

namespace {

// Where the toolkit has put each of the toolbar's items, and what the screen shows of the toolbar, at one width.
struct ToolbarLook {
    std::vector<wxRect> items;
    std::vector<bool> shown; // false: moved into the overflow menu
    wxRect box;              // the address box itself
    std::vector<guchar> pixels;
    bool operator==(const ToolbarLook &) const = default;
};

std::string Describe(const wxRect &r) {
    return std::to_string(r.width) + "x" + std::to_string(r.height) + " at " + std::to_string(r.x) + "," +
           std::to_string(r.y);
}
std::ostream &operator<<(std::ostream &out, const ToolbarLook &look) {
    out << "box " << Describe(look.box) << ", items";
    for (size_t i = 0; i < look.items.size(); ++i)
        out << " " << Describe(look.items[i]) << (look.shown[i] ? "" : " (hidden)");
    return out;
}

wxRect Allocation(GtkWidget *widget) {
    GdkRectangle r;
    gtk_widget_get_allocation(widget, &r);
    return {r.x, r.y, r.width, r.height};
}

class WindowBarsTest : public GuiTest {
protected:
    static GtkToolbar *Toolbar() { return g_pMainFrame->GetToolBar()->GTKGetToolbar(); }

    // The toolbar as it stands once the window has taken this width and the toolkit has laid it out again.
    static ToolbarLook LookAtWidth(int width) {
        g_pMainFrame->SetSize(width, 800);
        Pump(0.5);
        ToolbarLook look;
        GtkWidget *bar = GTK_WIDGET(Toolbar());
        for (int i = 0; i < gtk_toolbar_get_n_items(Toolbar()); ++i) {
            GtkWidget *item = GTK_WIDGET(gtk_toolbar_get_nth_item(Toolbar(), i));
            look.items.push_back(Allocation(item));
            look.shown.push_back(gtk_widget_get_child_visible(item) && gtk_widget_get_mapped(item));
        }
        look.box = Allocation(CMainFrame::GetAddressBox()->m_widget);
        GtkWidget *toplevel = gtk_widget_get_toplevel(bar);
        int x = 0, y = 0;
        gtk_widget_translate_coordinates(bar, toplevel, 0, 0, &x, &y);
        if (GdkPixbuf *shot =
                gdk_pixbuf_get_from_window(gtk_widget_get_window(toplevel), x, y, gtk_widget_get_allocated_width(bar),
                                           gtk_widget_get_allocated_height(bar))) {
            const guchar *data = gdk_pixbuf_read_pixels(shot);
            look.pixels.assign(data, data + gdk_pixbuf_get_byte_length(shot));
            g_object_unref(shot);
        }
        return look;
    }

    static wxStatusBar *StatusBar() { return g_pMainFrame->GetStatusBar(); }
    static std::string LocksShown() {
        return (StatusBar()->GetStatusText(1) + "|" + StatusBar()->GetStatusText(2) + "|" +
                StatusBar()->GetStatusText(3))
            .ToStdString();
    }

    // Right-clicks a bar's widget x pixels from its left end (from its right end when negative), as a person does;
    // the menu that comes up, "Label (on)|Label" ("" when none came up). Then clicks its item `choose`, or closes it.
    static std::string PaneMenuAt(GtkWidget *bar, int x, const std::string &choose = "") {
        const wxRect place = ScreenRect(bar);
        wxUIActionSimulator mouse;
        mouse.MouseMove(x < 0 ? place.GetRight() + x : place.x + x, place.y + place.height / 2);
        Pump(0.1);
        mouse.MouseClick(wxMOUSE_BTN_RIGHT);
        std::string shown;
        // The menu runs a loop of its own: it is read and answered from the test's timer inside that loop.
        RunUntil(
            [&] {
                GtkWidget *menu = nullptr, *chosen = nullptr;
                GList *windows = gtk_window_list_toplevels();
                for (GList *window = windows; window; window = window->next)
                    if (gtk_widget_get_mapped(GTK_WIDGET(window->data)) &&
                        GTK_IS_MENU(gtk_bin_get_child(GTK_BIN(window->data))))
                        menu = gtk_bin_get_child(GTK_BIN(window->data));
                g_list_free(windows);
                if (!shown.empty() || !menu)
                    return !shown.empty();
                GList *items = gtk_container_get_children(GTK_CONTAINER(menu));
                for (GList *item = items; item; item = item->next) {
                    const std::string label = gtk_menu_item_get_label(GTK_MENU_ITEM(item->data));
                    const bool on = GTK_IS_CHECK_MENU_ITEM(item->data) &&
                                    gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(item->data));
                    shown += (shown.empty() ? "" : "|") + label + (on ? " (on)" : "");
                    chosen = label == choose ? GTK_WIDGET(item->data) : chosen;
                }
                g_list_free(items);
                chosen ? Click(chosen) : gtk_menu_shell_cancel(GTK_MENU_SHELL(menu));
                return true;
            },
            5);
        Pump(0.3);
        return shown;
    }
    static GtkWidget *ToolItem(int id) {
        wxToolBar *bar = g_pMainFrame->GetToolBar();
        return GTK_WIDGET(gtk_toolbar_get_nth_item(bar->GTKGetToolbar(), bar->GetToolPos(id)));
    }
    // Each button's darkest pixel, its lightness from 0 to 1, as the toolbar draws it with all its buttons enabled
    // or all disabled.
    static std::map<int, double> DarkestPixels(bool enabled) {
        wxToolBar *bar = g_pMainFrame->GetToolBar();
        std::map<int, double> darkest;
        for (size_t i = 0; i < bar->GetToolsCount(); ++i)
            if (const wxToolBarToolBase *tool = bar->GetToolByPos(int(i)); tool->IsButton())
                bar->EnableTool(tool->GetId(), enabled), darkest[tool->GetId()] = 1;
        const DrawnWindow drawn(*bar);
        for (auto &[id, dark] : darkest) {
            GtkWidget *item = ToolItem(id);
            int left = 0, top = 0;
            gtk_widget_translate_coordinates(item, bar->m_widget, 0, 0, &left, &top);
            for (int y = top; y < top + gtk_widget_get_allocated_height(item); ++y)
                for (int x = left; x < left + gtk_widget_get_allocated_width(item); ++x) {
                    const unsigned char *bgr = drawn.Pixel(x, y);
                    dark = std::min(dark, (0.114 * bgr[0] + 0.587 * bgr[1] + 0.299 * bgr[2]) / 255);
                }
        }
        return darkest;
    }
    static GtkWidget *MenuBarWidget() { return g_pMainFrame->GetMenuBar()->m_widget; }

    static wxHtmlHelpFrame *OpenHelp() {
        if (!Command(ID_VIEW_HELP) || !RunUntil([] { return HelpFrame() != nullptr; }, 10))
            return nullptr;
        Pump(0.3);
        return HelpFrame();
    }
};

} // namespace

// In a window manager's frame, whose borders count in the frame's size but leave the toolbar less room: narrower
// and wider, down to the narrowest the frame allows and back, the whole bar at each width, the address box four
// inches wide where there is room, and everything as it was the first time at that width.
TEST_F(WindowBarsTest, ToolbarLooksAfterAnyResizeAsAFreshWindowOfThatWidth) {
    // The window manager has taken the screen (it names its check window on the root) before the window is made;
    // it ends with the display.
    const std::string managed = "until xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; do sleep 0.05; done";
    ASSERT_EQ(::RunProgram("timeout", {"10", "sh", "-c", "openbox --sm-disable >/dev/null 2>&1 & " + managed}).exitCode,
              0);
    ASSERT_TRUE(Start({}));
    ASSERT_TRUE(RunUntil(
        [] {
            GdkWindow *window = gtk_widget_get_window(g_pMainFrame->m_widget);
            GdkRectangle frame;
            gdk_window_get_frame_extents(window, &frame);
            return frame.width > gdk_window_get_width(window); // the borders are on
        },
        10));
    // The address text, so that anything drawn over it shows; and a steady cursor, so that two looks compare.
    g_object_set(gtk_settings_get_default(), "gtk-cursor-blink", FALSE, nullptr);
    g_pMainFrame->SetAddressText(u"file:///home/someone/results/tuesday-evening-pairs-section-a.htm");
    Pump(0.5);
    const int fourInches = 4 * wxGetApp().m_nDpiX;
    std::map<int, ToolbarLook> first;
    for (int width : {1100, 700, 1500, 200, 700, 1500, 1100}) {
        const ToolbarLook look = LookAtWidth(width);
        ASSERT_FALSE(look.pixels.empty());
        // Every item in the bar, none under another, nothing past the bar's end, the address box filling its item.
        for (size_t i = 0; i < look.items.size(); ++i) {
            EXPECT_TRUE(look.shown[i]) << "item " << i << " went into the overflow menu: " << look;
            EXPECT_TRUE(i == 0 || look.items[i].x >= look.items[i - 1].GetRight() + 1) << look;
            EXPECT_LE(look.items[i].GetRight() + 1, gtk_widget_get_allocated_width(GTK_WIDGET(Toolbar()))) << look;
        }
        const int index = gtk_toolbar_get_item_index(
            Toolbar(), GTK_TOOL_ITEM(gtk_widget_get_parent(CMainFrame::GetAddressBox()->m_widget)));
        ASSERT_GE(index, 0);
        EXPECT_TRUE(look.box.x == look.items[size_t(index)].x && look.box.width == look.items[size_t(index)].width)
            << look;
        // At the narrowest, the box is still wide enough for an address.
        const int box = look.box.width, chars = CMainFrame::GetAddressBox()->GetCharWidth();
        EXPECT_TRUE(width >= 1100 ? box == fourInches : width == 700 ? box < fourInches : box >= 20 * chars) << look;
        const auto [earlier, isFirst] = first.emplace(width, look);
        EXPECT_TRUE(isFirst || look == earlier->second) << look << "\nfirst " << earlier->second;
    }
}

TEST_F(WindowBarsTest, LockPanesFollowTheLocksAndShowTheirWholeText) {
    ASSERT_TRUE(Start({}));
    // Scroll Lock gets a modifier of its own, as on keyboards with a Scroll Lock light; the virtual display's
    // keyboard has none, and its Scroll Lock key then locks nothing.
    Display *display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
    XModifierKeymap *map = XGetModifierMapping(display);
    map = XInsertModifiermapEntry(map, XKeysymToKeycode(display, XK_Scroll_Lock), Mod3MapIndex);
    ASSERT_EQ(XSetModifierMapping(display, map), MappingSuccess);
    XFreeModifiermap(map);
    XSync(display, 0);
    Pump(0.5);
    ASSERT_EQ(LocksShown(), "||");

    // Each key pressed and let go: its lock is on, and the pane says so, its text whole, until the key is pressed
    // again.
    wxUIActionSimulator keyboard;
    for (const std::string expected : {"CAP|NUM|SCRL", "||"}) {
        for (int key : {WXK_SCROLL, WXK_CAPITAL, WXK_NUMLOCK})
            keyboard.Char(key), Pump(0.1);
        EXPECT_TRUE(RunUntil([&] { return LocksShown() == expected; }, 5)) << LocksShown();
        Pump(0.5);
        EXPECT_EQ(LocksShown(), expected);
        StatusBar()->Refresh();
        StatusBar()->Update();
        Pump(0.2);
        for (int pane = 1; pane <= 3; ++pane)
            EXPECT_FALSE(StatusBar()->GetField(pane).IsEllipsized())
                << "pane " << pane << " is cut short in a field " << StatusBar()->GetField(pane).GetWidth() << " wide";
    }
}

TEST_F(WindowBarsTest, HelpViewerOpensInsideTheWorkAreaWhereverItWasLastClosed) {
    ASSERT_TRUE(Start({}));
    Pump(0.3);
    const int display = wxDisplay::GetFromWindow(g_pMainFrame);
    const wxRect area = wxDisplay(display == wxNOT_FOUND ? 0u : unsigned(display)).GetClientArea();

    // The first time over the program's window, even one that reaches past the screen's corner.
    g_pMainFrame->SetSize(area.GetRight() - 500, area.GetBottom() - 300, 1100, 800);
    Pump(0.3);
    wxHtmlHelpFrame *help = OpenHelp();
    ASSERT_NE(help, nullptr);
    const wxRect first = ScreenRect(help->m_widget);
    EXPECT_TRUE(area.Contains(first)) << Describe(first) << " in " << Describe(area);
    EXPECT_TRUE(first.Intersects(g_pMainFrame->GetScreenRect()));

    // Closed where part of it lies off the screen (a larger screen's place), or larger than the screen: it opens
    // again inside, as large as it was when that fits. The place is kept in the settings, for the next run too.
    for (const wxRect &closed : {wxRect(area.GetRight() - 300, area.GetBottom() - 200, 640, 420),
                                 wxRect(area.x - 50, area.y - 50, area.width + 400, area.height + 300)}) {
        help->SetSize(closed);
        Pump(0.3);
        help->Close();
        ASSERT_TRUE(RunUntil([] { return HelpFrame() == nullptr; }, 5));
        EXPECT_EQ(platform::AppSettings().GetInt("HelpViewer", "w", 0), closed.width);
        help = OpenHelp();
        ASSERT_NE(help, nullptr);
        const wxRect place = ScreenRect(help->m_widget);
        EXPECT_TRUE(area.Contains(place)) << Describe(place) << " in " << Describe(area);
        EXPECT_TRUE(closed.width > area.width || place.GetSize() == closed.GetSize()) << Describe(place);
    }
}

// A part of the page repainted (where a menu or a box closed over it) is followed by a repaint of the whole page,
// which the toolkit's OpenGL path draws right; and the page then comes to rest, also with the window partly off the
// screen, where a part repainted might otherwise always be followed by another.
TEST_F(WindowBarsTest, PartOfThePageRepaintedIsFollowedByTheWholePageOnce) {
    ASSERT_TRUE(Start({DataPath("conversion/layout_a.htm")}));
    ASSERT_TRUE(WaitForPage());
    auto *page = static_cast<GtkWidget *>(ActiveBrowserView()->GetWebView()->GetNativeBackend());
    std::vector<GdkRectangle> clips; // of each draw of the page, in order
    g_signal_connect(page, "draw", G_CALLBACK(+[](GtkWidget *, cairo_t *context, std::vector<GdkRectangle> *drawn) {
                         drawn->emplace_back();
                         gdk_cairo_get_clip_rectangle(context, &drawn->back());
                         return FALSE;
                     }),
                     &clips);
    const auto whole = [page](const GdkRectangle &clip) {
        return clip.x <= 0 && clip.y <= 0 && clip.x + clip.width >= gtk_widget_get_allocated_width(page) &&
               clip.y + clip.height >= gtk_widget_get_allocated_height(page);
    };
    // Whether the page comes to rest: half a second without a draw (the toolkit's fading scroll bar repaints its
    // strip of the page for a few seconds after the page was drawn).
    const auto comesToRest = [&clips] {
        for (int i = 0; i < 20; ++i)
            if (clips.clear(), Pump(0.5), clips.empty())
                return true;
        return false;
    };
    for (int left : {100, -300}) {
        g_pMainFrame->Move(left, 100);
        ASSERT_TRUE(comesToRest()) << clips.size() << " draws in half a second at x = " << left;
        ASSERT_EQ(ScreenRect(page).x < 0, left < 0) << Describe(ScreenRect(page));
        gtk_widget_queue_draw_area(page, 10, 10, 40, 30);
        ASSERT_TRUE(RunUntil([&] { return !clips.empty(); }, 5));
        EXPECT_FALSE(whole(clips.front()));
        EXPECT_TRUE(RunUntil([&] { return std::any_of(clips.begin(), clips.end(), whole); }, 5)) << clips.size();
        EXPECT_TRUE(comesToRest()) << clips.size() << " draws in half a second at x = " << left;
    }
    g_signal_handlers_disconnect_by_data(page, &clips);
}

// A right click on the menu bar (on a title or beside them), on a toolbar button or beside the buttons, or on the
// status bar lists the panes with their ticks, as View's "Toolbars and Docking Windows" does: an entry shows or
// hides its pane, and the ticks of both lists follow.
TEST_F(WindowBarsTest, PaneMenuOverEachBarAndViewsTogglesShowAndHideThePanes) {
    ASSERT_TRUE(Start({}));
    Pump(0.5);
    const int pageHeight = g_pMainFrame->GetNotebook()->GetSize().y;
    const std::string all = "Standard (on)|Status Bar (on)";
    GtkWidget *menus = MenuBarWidget(), *tools = g_pMainFrame->GetToolBar()->m_widget, *status = StatusBar()->m_widget;
    // The first title or button, and beyond the last.
    for (auto [bar, x] : {std::pair{menus, 10}, {menus, -10}, {tools, 10}, {tools, -10}, {status, 10}})
        EXPECT_EQ(PaneMenuAt(bar, x), all) << G_OBJECT_TYPE_NAME(bar) << " at " << x;
    EXPECT_EQ(MarksDrawn(ID_VIEW_TOOLBAR), "xx");
    EXPECT_EQ(MarksDrawn(ID_VIEW_STATUS_BAR), "x");

    // View's toolbar item hides the toolbar; the status bar's pop-up entry hides the status bar.
    ASSERT_TRUE(Command(ID_VIEW_TOOLBAR));
    Pump(0.3);
    EXPECT_FALSE(gtk_widget_get_mapped(tools));
    EXPECT_GT(g_pMainFrame->GetNotebook()->GetSize().y, pageHeight);
    EXPECT_EQ(MarksDrawn(ID_VIEW_TOOLBAR), "_x");
    EXPECT_EQ(PaneMenuAt(status, 10, "Status Bar"), "Standard|Status Bar (on)");
    EXPECT_FALSE(gtk_widget_get_mapped(status));
    EXPECT_EQ(MarksDrawn(ID_VIEW_TOOLBAR), "__");
    EXPECT_EQ(MarksDrawn(ID_VIEW_STATUS_BAR), "_");

    // Shown again from the menu bar's pop-up and View's status bar item, in the page window's menu bar and then in
    // the frame's own.
    EXPECT_EQ(PaneMenuAt(MenuBarWidget(), 10, "Standard"), "Standard|Status Bar");
    EXPECT_TRUE(gtk_widget_get_mapped(tools));
    ASSERT_TRUE(Command(wxID_CLOSE));
    ASSERT_TRUE(RunUntil([] { return g_pMainFrame->GetMenuBar()->GetMenuCount() == 3; }, 5));
    Pump(0.3);
    EXPECT_EQ(PaneMenuAt(MenuBarWidget(), 10), "Standard (on)|Status Bar");
    ASSERT_TRUE(Command(ID_VIEW_STATUS_BAR));
    Pump(0.3);
    EXPECT_TRUE(gtk_widget_get_mapped(status));
    EXPECT_EQ(MarksDrawn(ID_VIEW_TOOLBAR), "xx");
    EXPECT_EQ(PaneMenuAt(tools, 10), all);
}

// Back and Forward look as plainly off when disabled as the other buttons do: each button's darkest pixel grows
// lighter by at least as much as the middle one of the others' does.
TEST_F(WindowBarsTest, BackAndForwardGreyAsPlainlyAsTheOtherButtons) {
    ASSERT_TRUE(Start({}));
    Pump(0.5);
    const std::map<int, double> on = DarkestPixels(true), off = DarkestPixels(false);
    std::vector<double> others;
    for (const auto &[id, darkest] : on)
        if (id != ID_GO_BACK && id != ID_GO_FORWARD)
            others.push_back(off.at(id) - darkest);
    std::sort(others.begin(), others.end());
    const std::string figures = testing::PrintToString(on) + " to " + testing::PrintToString(off);
    EXPECT_GT(others.front(), 0.2) << figures;
    for (int id : {ID_GO_BACK, ID_GO_FORWARD})
        EXPECT_GE(off.at(id) - on.at(id), others[others.size() / 2]) << id << ": " << figures;
}

// When a load fails (the server closes the connection, and then its port), Stop goes out at once, with no mouse move
// or key to bring the toolbar's next update.
TEST_F(WindowBarsTest, StopGoesOutAsSoonAsALoadFailsWithoutInput) {
    ASSERT_TRUE(Start({}));
    ASSERT_TRUE(RunUntil([] { return ActiveBrowserView() != nullptr; }));
    Pump(0.5);
    const int server = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_TRUE(bind(server, reinterpret_cast<sockaddr *>(&address), size) == 0 &&
                getsockname(server, reinterpret_cast<sockaddr *>(&address), &size) == 0 && listen(server, 4) == 0);
    CDSCView *view = ActiveBrowserView();
    auto *webView = WEBKIT_WEB_VIEW(view->GetWebView()->GetNativeBackend());
    // Stop lit as the load starts, as idle time during the load shows it; Refresh lit from the start, as after any
    // earlier page (the toolkit lays the toolbar out again when a button changes, which makes idle time itself).
    view->m_bRefreshEnabled = true;
    wxToolBar *bar = g_pMainFrame->GetToolBar();
    g_signal_connect(webView, "load-changed", G_CALLBACK(+[](WebKitWebView *, WebKitLoadEvent event, wxToolBar *tools) {
                         if (event == WEBKIT_LOAD_STARTED)
                             tools->UpdateWindowUI();
                     }),
                     bar);
    EnterAddress("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/");
    // GLib's loop alone, without the test's timers, which make idle time themselves.
    const auto runFor = [](int milliseconds, const std::function<bool()> &done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        for (; std::chrono::steady_clock::now() < end && !(done && done()); g_usleep(1000))
            g_main_context_iteration(nullptr, FALSE);
    };
    // The request is taken and, once the toolbar has settled while the load runs (its own relayout makes idle
    // time), the connection and the port are closed without an answer.
    int connection = -1;
    runFor(10000, [&] { return (connection = accept(server, nullptr, nullptr)) >= 0; });
    runFor(300, nullptr);
    EXPECT_TRUE(gtk_widget_get_sensitive(ToolItem(ID_STOP)));
    close(connection);
    close(server);
    runFor(10000, [&] { return view->m_bLoadFailed && !webkit_web_view_is_loading(webView); });
    runFor(300, nullptr);
    g_signal_handlers_disconnect_by_data(webView, bar);
    ASSERT_TRUE(view->m_bLoadFailed && !webkit_web_view_is_loading(webView));
    EXPECT_FALSE(gtk_widget_get_sensitive(ToolItem(ID_STOP)));
}
