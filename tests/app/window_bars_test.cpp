// The main window's bars and the help viewer as they are drawn: the toolbar's address box after the window is
// resized, the status bar's lock panes, and where the help viewer opens.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include <gtk/gtk.h>
#include <wx/display.h>
#include <wx/html/helpfrm.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>

#include "app/window/command_ids.h"
#include "app/window/main_frame.h"
#include "app/window/window_app.h"
#include "platform/settings.h"
#include "window_driver.h"

// Last: the X headers define names (None, Status) that the others use.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

namespace {

// Where the toolkit has put each of the toolbar's items, and what the toolbar shows, at one width of the window.
struct ToolbarLook {
    int frameWidth = 0;
    std::vector<GdkRectangle> items;
    std::vector<bool> shown; // false: moved into the overflow menu
    GdkRectangle box{};      // the address box itself
    std::vector<guchar> pixels;

    bool operator==(const ToolbarLook &other) const {
        auto same = [](const GdkRectangle &a, const GdkRectangle &b) {
            return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
        };
        if (items.size() != other.items.size() || shown != other.shown || !same(box, other.box) ||
            pixels != other.pixels)
            return false;
        for (size_t i = 0; i < items.size(); ++i)
            if (!same(items[i], other.items[i]))
                return false;
        return true;
    }
};

std::string Describe(const wxRect &rect) {
    return std::to_string(rect.width) + "x" + std::to_string(rect.height) + " at " + std::to_string(rect.x) + "," +
           std::to_string(rect.y);
}

std::ostream &operator<<(std::ostream &out, const ToolbarLook &look) {
    out << "window " << look.frameWidth << ", box at " << look.box.x << " width " << look.box.width << ", items";
    for (size_t i = 0; i < look.items.size(); ++i)
        out << " " << look.items[i].x << "+" << look.items[i].width << (look.shown[i] ? "" : "(hidden)");
    return out;
}

class WindowBarsTest : public GuiTest {
protected:
    static GtkToolbar *Toolbar() { return g_pMainFrame->GetToolBar()->GTKGetToolbar(); }
    // Narrower and wider, down to the narrowest the frame allows and back, checking the toolbar at each width.
    static void ExpectToolbarRecoversFromResizes();

    // The toolbar as it stands once the window has taken this width and the toolkit has laid it out again.
    static ToolbarLook LookAtWidth(int width) {
        g_pMainFrame->SetSize(width, 800);
        Pump(0.5);
        ToolbarLook look;
        look.frameWidth = g_pMainFrame->GetSize().x;
        GtkToolbar *bar = Toolbar();
        for (int i = 0; i < gtk_toolbar_get_n_items(bar); ++i) {
            GtkWidget *item = GTK_WIDGET(gtk_toolbar_get_nth_item(bar, i));
            GdkRectangle place;
            gtk_widget_get_allocation(item, &place);
            look.items.push_back(place);
            look.shown.push_back(gtk_widget_get_child_visible(item) && gtk_widget_get_mapped(item));
        }
        gtk_widget_get_allocation(CMainFrame::GetAddressBox()->m_widget, &look.box);
        // What the screen shows of the toolbar.
        GtkWidget *toplevel = gtk_widget_get_toplevel(GTK_WIDGET(bar));
        int x = 0, y = 0;
        gtk_widget_translate_coordinates(GTK_WIDGET(bar), toplevel, 0, 0, &x, &y);
        GdkPixbuf *shot = gdk_pixbuf_get_from_window(gtk_widget_get_window(toplevel), x, y,
                                                     gtk_widget_get_allocated_width(GTK_WIDGET(bar)),
                                                     gtk_widget_get_allocated_height(GTK_WIDGET(bar)));
        if (shot) {
            const guchar *data = gdk_pixbuf_read_pixels(shot);
            look.pixels.assign(data, data + gdk_pixbuf_get_byte_length(shot));
            g_object_unref(shot);
        }
        return look;
    }

    // Every item in the bar, none under another, the address box filling its item, nothing past the bar's end.
    static void ExpectWholeBar(const ToolbarLook &look) {
        const int barWidth = gtk_widget_get_allocated_width(GTK_WIDGET(Toolbar()));
        for (size_t i = 0; i < look.items.size(); ++i) {
            EXPECT_TRUE(look.shown[i]) << "item " << i << " went into the overflow menu: " << look;
            if (i > 0) {
                EXPECT_GE(look.items[i].x, look.items[i - 1].x + look.items[i - 1].width) << look;
            }
            EXPECT_LE(look.items[i].x + look.items[i].width, barWidth) << look;
        }
        const GtkWidget *boxItem = gtk_widget_get_parent(CMainFrame::GetAddressBox()->m_widget);
        const int index = gtk_toolbar_get_item_index(Toolbar(), GTK_TOOL_ITEM(boxItem));
        ASSERT_GE(index, 0);
        EXPECT_EQ(look.box.x, look.items[size_t(index)].x) << look;
        EXPECT_EQ(look.box.width, look.items[size_t(index)].width) << look;
    }

    // Maps the Scroll Lock key to a modifier of its own, as keyboards whose Scroll Lock lights are set up; the
    // virtual display's keyboard has none, and its Scroll Lock key then locks nothing.
    static void GiveScrollLockAModifier() {
        Display *display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
        XModifierKeymap *map = XGetModifierMapping(display);
        map = XInsertModifiermapEntry(map, XKeysymToKeycode(display, XK_Scroll_Lock), Mod3MapIndex);
        ASSERT_EQ(XSetModifierMapping(display, map), MappingSuccess);
        XFreeModifiermap(map);
        XSync(display, 0);
    }
    static void PressAndRelease(int key) {
        wxUIActionSimulator keyboard;
        keyboard.Char(key);
        Pump(0.1);
    }
    static wxStatusBar *StatusBar() { return g_pMainFrame->GetStatusBar(); }
    // Whether each lock pane's text was drawn whole (not cut short with "...") when the bar was last painted.
    static void ExpectPanesDrawnWhole() {
        StatusBar()->Refresh();
        StatusBar()->Update();
        Pump(0.2);
        for (int pane = 1; pane <= 3; ++pane)
            EXPECT_FALSE(StatusBar()->GetField(pane).IsEllipsized())
                << "pane " << pane << " \"" << StatusBar()->GetStatusText(pane) << "\" is cut short in a field "
                << StatusBar()->GetField(pane).GetWidth() << " wide";
    }

    static wxHtmlHelpFrame *HelpFrame() {
        for (wxWindow *window : wxTopLevelWindows)
            if (auto *help = dynamic_cast<wxHtmlHelpFrame *>(window); help && help->IsShown())
                return help;
        return nullptr;
    }
    static wxHtmlHelpFrame *OpenHelp() {
        if (!Command(ID_VIEW_HELP) || !RunUntil([] { return HelpFrame() != nullptr; }, 10))
            return nullptr;
        Pump(0.3);
        return HelpFrame();
    }
    // The help frame's place on the screen as the X server has it.
    static wxRect PlaceOnScreen(wxWindow *frame) {
        GdkWindow *window = gtk_widget_get_window(frame->m_widget);
        int x = 0, y = 0;
        gdk_window_get_origin(window, &x, &y);
        return wxRect(x, y, gdk_window_get_width(window), gdk_window_get_height(window));
    }
    static wxRect WorkArea() {
        const int display = wxDisplay::GetFromWindow(g_pMainFrame);
        return wxDisplay(display == wxNOT_FOUND ? 0u : unsigned(display)).GetClientArea();
    }
};

} // namespace

void WindowBarsTest::ExpectToolbarRecoversFromResizes() {
    // The address text, so that anything drawn over it shows; and a steady cursor, so that two looks compare.
    g_object_set(gtk_settings_get_default(), "gtk-cursor-blink", FALSE, nullptr);
    g_pMainFrame->SetAddressText(u"file:///home/someone/results/tuesday-evening-pairs-section-a.htm");
    Pump(0.5);
    const int fourInches = 4 * wxGetApp().m_nDpiX;

    const ToolbarLook fresh = LookAtWidth(1100);
    ASSERT_FALSE(fresh.pixels.empty());
    ExpectWholeBar(fresh);
    EXPECT_EQ(fresh.box.width, fourInches) << fresh;

    const ToolbarLook narrow = LookAtWidth(700);
    ExpectWholeBar(narrow);
    EXPECT_LT(narrow.box.width, fourInches) << narrow;

    // Wider again: four inches, the help button beside the box, everything where the fresh window had it.
    const ToolbarLook wide = LookAtWidth(1500);
    ExpectWholeBar(wide);
    EXPECT_EQ(wide.box.width, fourInches) << wide;
    EXPECT_EQ(LookAtWidth(1100), fresh);

    // The narrowest window the frame allows: a narrower box, still in the bar, wide enough for an address.
    const ToolbarLook narrowest = LookAtWidth(200);
    ExpectWholeBar(narrowest);
    EXPECT_GE(narrowest.box.width, 20 * CMainFrame::GetAddressBox()->GetCharWidth()) << narrowest;
    EXPECT_EQ(LookAtWidth(700), narrow);
    EXPECT_EQ(LookAtWidth(1500), wide);
    EXPECT_EQ(LookAtWidth(narrowest.frameWidth), narrowest);
    EXPECT_EQ(LookAtWidth(1100), fresh);
}

TEST_F(WindowBarsTest, ToolbarLooksAfterAnyResizeAsAFreshWindowOfThatWidth) {
    ASSERT_TRUE(Start({}));
    ExpectToolbarRecoversFromResizes();
}

namespace {
bool WaitForWindowManager() {
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", 0);
    bool running = false;
    for (int i = 0; i < 200 && !running; ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        running = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, 0, XA_WINDOW, &type, &format,
                                     &count, &after, &data) == Success &&
                  count == 1;
        if (data)
            XFree(data);
        if (!running)
            usleep(50000);
    }
    XCloseDisplay(display);
    return running;
}
} // namespace

// The same in a window manager's frame, whose borders count in the frame's size but leave the toolbar less room.
TEST_F(WindowBarsTest, ToolbarInAWindowManagersFrame) {
    const char *const argv[] = {"openbox", "--sm-disable", nullptr};
    pid_t manager = 0;
    ASSERT_EQ(posix_spawnp(&manager, "openbox", nullptr, nullptr, const_cast<char *const *>(argv), environ), 0);
    struct Stopper {
        pid_t pid;
        ~Stopper() {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    } stopper{manager};
    // The window manager has taken the screen before the program's window is made.
    ASSERT_TRUE(WaitForWindowManager());
    ASSERT_TRUE(Start({}));
    // Framed: the window manager's borders around the window.
    ASSERT_TRUE(RunUntil(
        [] {
            GdkWindow *window = gtk_widget_get_window(g_pMainFrame->m_widget);
            GdkRectangle frame;
            gdk_window_get_frame_extents(window, &frame);
            return frame.width > gdk_window_get_width(window);
        },
        10));
    ExpectToolbarRecoversFromResizes();
}

TEST_F(WindowBarsTest, LockPanesFollowTheLocksAndShowTheirWholeText) {
    ASSERT_TRUE(Start({}));
    GiveScrollLockAModifier();
    Pump(0.5);
    ASSERT_EQ(StatusBar()->GetStatusText(3), "");

    // The key pressed and let go: the lock is on, and the pane says so until the key is pressed again.
    PressAndRelease(WXK_SCROLL);
    EXPECT_TRUE(RunUntil([] { return StatusBar()->GetStatusText(3) == "SCRL"; }, 5));
    Pump(0.5);
    EXPECT_EQ(StatusBar()->GetStatusText(3), "SCRL");
    PressAndRelease(WXK_CAPITAL);
    PressAndRelease(WXK_NUMLOCK);
    EXPECT_TRUE(RunUntil([] { return StatusBar()->GetStatusText(1) == "CAP"; }, 5));
    EXPECT_TRUE(RunUntil([] { return StatusBar()->GetStatusText(2) == "NUM"; }, 5));
    ExpectPanesDrawnWhole();

    for (int key : {WXK_SCROLL, WXK_CAPITAL, WXK_NUMLOCK})
        PressAndRelease(key);
    EXPECT_TRUE(RunUntil(
        [] {
            return StatusBar()->GetStatusText(1).empty() && StatusBar()->GetStatusText(2).empty() &&
                   StatusBar()->GetStatusText(3).empty();
        },
        5));
}

TEST_F(WindowBarsTest, HelpViewerOpensInsideTheWorkAreaWhereverItWasLastClosed) {
    ASSERT_TRUE(Start({}));
    Pump(0.3);
    const wxRect area = WorkArea();

    // The first time over the program's window, even one that reaches past the screen's corner.
    g_pMainFrame->SetSize(area.GetRight() - 500, area.GetBottom() - 300, 1100, 800);
    Pump(0.3);
    wxHtmlHelpFrame *help = OpenHelp();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(area.Contains(PlaceOnScreen(help)))
        << "help at " << Describe(PlaceOnScreen(help)) << " in " << Describe(area);
    EXPECT_TRUE(PlaceOnScreen(help).Intersects(g_pMainFrame->GetScreenRect()));

    // Closed where part of it lies off the screen (a larger screen's place), it opens again inside; the place is
    // kept in the settings, for the next run too.
    help->SetSize(area.GetRight() - 300, area.GetBottom() - 200, 640, 420);
    Pump(0.3);
    help->Close();
    ASSERT_TRUE(RunUntil([] { return HelpFrame() == nullptr; }, 5));
    EXPECT_EQ(platform::AppSettings().GetInt("HelpViewer", "w", 0), 640);
    help = OpenHelp();
    ASSERT_NE(help, nullptr);
    wxRect place = PlaceOnScreen(help);
    EXPECT_TRUE(area.Contains(place)) << "help at " << Describe(place) << " in " << Describe(area);
    EXPECT_EQ(place.GetSize(), wxSize(640, 420));

    // Closed larger than the screen: it opens as large as the work area.
    help->SetSize(area.x - 50, area.y - 50, area.width + 400, area.height + 300);
    Pump(0.3);
    help->Close();
    ASSERT_TRUE(RunUntil([] { return HelpFrame() == nullptr; }, 5));
    help = OpenHelp();
    ASSERT_NE(help, nullptr);
    place = PlaceOnScreen(help);
    EXPECT_TRUE(area.Contains(place)) << "help at " << Describe(place) << " in " << Describe(area);
}
