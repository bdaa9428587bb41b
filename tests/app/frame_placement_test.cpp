// The main window opens where it was when it last closed, read back from the X server under a window manager.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include <gtk/gtk.h>

#include "app/window/main_frame.h"
#include "window_driver.h"
// Last: the X headers define names (None, Status...) that the test framework's own headers use.
#include <gdk/gdkx.h>

extern char **environ;

namespace {

// A rectangle as the X server has it: left, top, width, height.
struct XRect {
    long x = 0, y = 0, width = 0, height = 0;
    bool operator==(const XRect &) const = default;
};

std::ostream &operator<<(std::ostream &out, const XRect &r) {
    return out << r.width << "x" << r.height << "+" << r.x << "+" << r.y;
}

class FramePlacementTest : public GuiTest {
protected:
    // A window manager on the test's own display: it places, decorates and maximizes windows as a desktop does.
    void SetUp() override {
        GuiTest::SetUp();
        char name[] = "openbox", option[] = "--sm-disable";
        char *argv[] = {name, option, nullptr};
        ASSERT_EQ(posix_spawnp(&m_manager, "openbox", nullptr, nullptr, argv, environ), 0) << "no openbox";
        // (No event loop yet: the toolkit starts with each test's window.)
        for (int tries = 0; X("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") == std::string::npos; ++tries) {
            ASSERT_LT(tries, 200) << "the window manager did not start";
            usleep(100'000);
        }
        sleep(2);
    }
    void TearDown() override {
        GuiTest::TearDown();
        if (m_manager > 0) {
            kill(m_manager, SIGTERM);
            waitpid(m_manager, nullptr, 0);
        }
    }

    static std::string X(const std::string &command) { return ::RunProgram("/bin/sh", {"-c", command}).output; }
    static std::string FrameId() {
        return std::to_string(GDK_WINDOW_XID(gtk_widget_get_window(g_pMainFrame->GetHandle())));
    }
    // The numbers of an X property ("NAME(CARDINAL) = 1, 2, 3").
    static std::vector<long> Numbers(const std::string &text) {
        std::vector<long> numbers;
        std::istringstream in(text.substr(text.find('=') == std::string::npos ? text.size() : text.find('=') + 1));
        for (long n; in >> n;) {
            numbers.push_back(n);
            in.ignore(1);
        }
        return numbers;
    }
    // The frame with the window manager's borders, as the X server has it; empty until the manager has framed it.
    static XRect OuterRect() {
        const std::vector<long> borders = Numbers(X("xprop -id " + FrameId() + " _NET_FRAME_EXTENTS"));
        const std::string info = X("xwininfo -id " + FrameId());
        if (borders.size() != 4 || info.find("IsViewable") == std::string::npos)
            return {};
        auto field = [&info](const std::string &name) {
            const size_t at = info.find(name);
            return at == std::string::npos ? 0L : std::stol(info.substr(at + name.size()));
        };
        return {field("Absolute upper-left X:") - borders[0], field("Absolute upper-left Y:") - borders[2],
                field("Width:") + borders[0] + borders[1], field("Height:") + borders[2] + borders[3]};
    }
    static bool MaximizedOnX() {
        const std::string state = X("xprop -id " + FrameId() + " _NET_WM_STATE");
        return state.find("_NET_WM_STATE_MAXIMIZED_VERT") != std::string::npos &&
               state.find("_NET_WM_STATE_MAXIMIZED_HORZ") != std::string::npos;
    }
    static XRect WorkArea() {
        const std::vector<long> area = Numbers(X("xprop -root _NET_WORKAREA"));
        return area.size() >= 4 ? XRect{area[0], area[1], area[2], area[3]} : XRect{};
    }
    // Starts the window and waits until the window manager shows it in the given state and the frame knows where
    // it stands; its outer rectangle.
    XRect StartShown(bool maximized = false) {
        EXPECT_TRUE(Start({}));
        // The toolkit shows a new window once the window manager has told it the size of its borders: asked of
        // the X server meanwhile, a test would hold up the answer (every question stops the event loop).
        EXPECT_TRUE(RunUntil([] { return gtk_widget_get_mapped(g_pMainFrame->GetHandle()) != FALSE; }));
        Pump(0.5);
        EXPECT_TRUE(RunUntil([&] {
            const XRect outer = OuterRect();
            // (A maximized frame has the borders of the normal one in mind when it tells its position.)
            return outer.width > 0 && MaximizedOnX() == maximized && g_pMainFrame->IsMaximized() == maximized &&
                   (maximized || FrameAgrees(outer));
        })) << OuterRect()
            << " on the X server, " << Own() << " in the frame";
        return OuterRect();
    }
    static XRect Own() {
        const wxRect own = g_pMainFrame->GetScreenRect();
        return {own.x, own.y, own.width, own.height};
    }
    // The frame's own idea of its place has caught up with the X server's.
    static bool FrameAgrees(const XRect &r) {
        const wxRect own = g_pMainFrame->GetScreenRect();
        return own.x == r.x && own.y == r.y && own.width == r.width && own.height == r.height;
    }
    std::string Settings() const { return ReadFile(m_home + "/config/Dealscope/Dealscope.ini"); }

    pid_t m_manager = 0;
};

} // namespace

TEST_F(FramePlacementTest, ReopensWhereItClosedMaximizedOverItsNormalPlaceAndOnTheScreen) {
    // Moved and resized by the window manager, as a person drags it; closed; opened again: in the same place.
    StartShown();
    X("xdotool windowmove " + FrameId() + " 130 90 windowsize " + FrameId() + " 900 600");
    ASSERT_TRUE(RunUntil([] {
        const XRect outer = OuterRect();
        return outer.x == 130 && outer.y == 90 && outer.width != 1100 && FrameAgrees(outer);
    })) << OuterRect()
        << " on the X server, " << Own() << " in the frame";
    const XRect normal = OuterRect();
    Stop();
    EXPECT_EQ(StartShown(), normal);

    // Maximized when it closes: it opens maximized, and un-maximized it goes back to where it was before.
    g_pMainFrame->Maximize();
    ASSERT_TRUE(RunUntil([] { return MaximizedOnX() && g_pMainFrame->IsMaximized(); }));
    Stop();
    EXPECT_EQ(StartShown(true), WorkArea());
    g_pMainFrame->Maximize(false);
    EXPECT_TRUE(RunUntil([&] { return !MaximizedOnX() && OuterRect() == normal; }, 5))
        << OuterRect() << " instead of " << normal;
    ASSERT_TRUE(RunUntil([&] { return !g_pMainFrame->IsMaximized() && FrameAgrees(normal); }));
    Stop();

    // A place on a screen that is no longer there, or a size larger than the screen: inside the work area, moved
    // no further than it has to be.
    const XRect work = WorkArea();
    const std::string ini = Settings();
    ASSERT_NE(ini.find("\nx=130\n"), std::string::npos) << ini;
    WriteFile(m_home + "/config/Dealscope/Dealscope.ini", std::string(ini)
                                                              .replace(ini.find("\nx=130\n"), 7, "\nx=4000\n")
                                                              .replace(ini.find("\ny=90\n"), 6, "\ny=3000\n"));
    EXPECT_EQ(StartShown(), (XRect{work.x + work.width - normal.width, work.y + work.height - normal.height,
                                   normal.width, normal.height}));
    Stop();
    WriteFile(m_home + "/config/Dealscope/Dealscope.ini", "[MainFrame]\nx=-3000\ny=-200\nw=9000\nh=5000\n");
    EXPECT_EQ(StartShown(), work);
    Stop();

    // Values that are no numbers, or no sizes: the window opens at its first size, not maximized.
    WriteFile(m_home + "/config/Dealscope/Dealscope.ini",
              "[MainFrame]\nx=12abc\ny=\nw=-900\nh=99999999999\nMaximized=yes\ndecor_t=100000\n");
    const XRect first = StartShown();
    EXPECT_EQ(first.width, 1100);
    EXPECT_EQ(first.height, 800);
}

TEST_F(FramePlacementTest, WindowThatNeverShowedLeavesTheStoredPlaceAlone) {
    // A place off the screen, which a window would have brought inside before it saved it.
    const std::string stored = "[MainFrame]\nx=4000\ny=3000\nw=902\nh=625\nMaximized=1\n";
    fs::create_directories(m_home + "/config/Dealscope");
    WriteFile(m_home + "/config/Dealscope/Dealscope.ini", stored);
    // A start-up that fails, and batch runs that write their outputs without a window.
    EXPECT_FALSE(Start({m_home + "/missing.htm"}));
    Stop();
    const std::string page = CopyPage("layout_a.htm", "results.htm");
    EXPECT_EQ(RunProgram({"-pbn", m_home + "/out.pbn", page}), 0);
    EXPECT_EQ(RunProgram({"-text", m_home + "/out.txt", page}), 0);
    EXPECT_EQ(Settings(), stored);
}
