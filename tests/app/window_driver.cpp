#include "window_driver.h"

#include <stdlib.h>

#include <chrono>

#include <gtk/gtk.h>

#include <wx/evtloop.h>
#include <wx/html/helpfrm.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include "app/window/browser_view.h"
#include "app/window/child_frame.h"
#include "app/window/main_frame.h"
#include "app/window/page_document.h"
#include "app/window/text_view.h"
#include "app/window/window_app.h"
#include "app/window/wx_text.h"
#include "companion/class_registry.h"
#include "platform/file_uri.h"
#include "platform/wide_text.h"

// Allocations that the libraries under the window keep to the end of the process: fontconfig's font patterns
// (cached by Pango) and the JavaScript engine's heap. Suppressed by library and nothing else, so that a leak of
// our own objects (frames, views, documents, menus, dialogs, WebKit requests) is reported. Set here rather than
// in the test's environment, so that a suite behaves the same run by ctest or by hand.
extern "C" const char *__lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libjavascriptcoregtk-4.0.so\n";
}

namespace {
// A failed check inside wxWidgets fails the test instead of waiting for someone to close a dialog.
void FailOnAssert(const wxString &file, int line, const wxString &function, const wxString &condition,
                  const wxString &message) {
    ADD_FAILURE() << "wxWidgets assertion " << condition << " (" << message << ") in " << function << " at " << file
                  << ":" << line;
}

// The toolkit alone (a plain wxApp) is started once per process and cleaned up after the last test: wxWidgets
// cannot draw some controls (a list's column headers) once it has been cleaned up and started anew.
bool g_toolkitAlone = false;

void StopToolkit() {
    wxTheApp->OnExit();
    wxEntryCleanup();
    g_toolkitAlone = false;
}

class ToolkitEnvironment : public ::testing::Environment {
    void TearDown() override {
        if (g_toolkitAlone)
            StopToolkit();
    }
};
[[maybe_unused]] ::testing::Environment *const TOOLKIT_ENVIRONMENT =
    ::testing::AddGlobalTestEnvironment(new ToolkitEnvironment);

wxView *ActiveChildView() {
    if (!g_pMainFrame)
        return nullptr;
    auto *child = dynamic_cast<CChildFrame *>(g_pMainFrame->GetActiveChild());
    return child ? child->GetView() : nullptr;
}
} // namespace

void GuiTest::SetUp() {
    wxSetAssertHandler(FailOnAssert);
    ScratchTest::SetUp();
    m_home = m_dir.string();
    fs::create_directories(m_dir / "config");
    fs::create_directories(m_dir / "tmp");
    SetEnv("HOME", m_home);
    SetEnv("XDG_CONFIG_HOME", m_home + "/config");
    SetEnv("TMPDIR", m_home + "/tmp");
    // No accessibility bus, plain X11 and software drawing: the same window on every virtual display.
    setenv("NO_AT_BRIDGE", "1", 1);
    setenv("GDK_BACKEND", "x11", 1);
    setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
}

void GuiTest::Stop() {
    if (m_started && !g_toolkitAlone) {
        if (g_pMainFrame) {
            g_pMainFrame->Close(true);
            Pump(0.3);
        }
        StopToolkit();
    }
    m_started = false;
}

void GuiTest::TearDown() {
    Stop();
    ScratchTest::TearDown();
}

bool GuiTest::Start(const std::vector<std::string> &arguments) {
    // wxWidgets keeps the command line it is given.
    static std::vector<std::string> storage;
    static std::vector<char *> argv;
    storage = arguments;
    storage.insert(storage.begin(), "dealscope");
    argv.clear();
    for (std::string &argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(storage.size());

    Stop();
    if (g_toolkitAlone)
        StopToolkit();
    auto *app = new CDSCApp;
    app->SetCommandLine(argc, argv.data());
    wxApp::SetInstance(app);
    int toolkitArgc = 1; // as the program starts the toolkit
    if (!wxEntryStart(toolkitArgc, argv.data()))
        return false;
    m_started = true;
    return app->CallOnInit() && !app->m_bStartupFailed;
}

void GuiTest::StartToolkit() {
    if (!g_toolkitAlone) {
        static char name[] = "dealscope-test";
        static char *argv[] = {name, nullptr};
        int argc = 1;
        wxApp::SetInstance(new wxApp);
        ASSERT_TRUE(wxEntryStart(argc, argv)) << "no display";
        g_toolkitAlone = true;
        ASSERT_TRUE(wxTheApp->CallOnInit());
    }
    m_started = true;
}

bool GuiTest::RunUntil(const std::function<bool()> &condition, double seconds) {
    if (condition())
        return true;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    wxGUIEventLoop loop;
    wxTimer timer;
    bool met = false;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent &) {
        if (condition()) {
            met = true;
            loop.Exit();
        } else if (std::chrono::steady_clock::now() > deadline) {
            loop.Exit();
        }
    });
    timer.Start(10);
    loop.Run();
    timer.Stop();
    return met;
}

void GuiTest::Pump(double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    RunUntil([end] { return std::chrono::steady_clock::now() > end; }, seconds + 1);
}

CDSCDocument *GuiTest::ActiveDocument() {
    wxView *view = wxDocManager::GetDocumentManager()->GetAnyUsableView();
    return view ? wxDynamicCast(view->GetDocument(), CDSCDocument) : nullptr;
}

CDSCView *GuiTest::ActiveBrowserView() {
    return wxDynamicCast(ActiveChildView(), CDSCView);
}
CDSCTextView *GuiTest::ActiveTextView() {
    return wxDynamicCast(ActiveChildView(), CDSCTextView);
}

std::u16string GuiTest::ActiveText() {
    CDSCTextView *view = ActiveTextView();
    return view ? FromWx(view->GetTextCtrl()->GetValue()) : u"(no text window)";
}

size_t GuiTest::TabCount() {
    return g_pMainFrame ? g_pMainFrame->GetNotebook()->GetPageCount() : 0;
}

wxHtmlHelpFrame *GuiTest::HelpFrame() {
    for (wxWindow *window : wxTopLevelWindows)
        if (auto *help = dynamic_cast<wxHtmlHelpFrame *>(window); help && help->IsShown())
            return help;
    return nullptr;
}

bool GuiTest::WaitForPage(const std::u16string &url) {
    return RunUntil([&url] {
        CDSCView *view = ActiveBrowserView();
        CDSCDocument *document = view ? view->GetPageDocument() : nullptr;
        return document && (url.empty() || document->Page().m_strURL == url) && document->Page().m_bPageLoaded;
    });
}

void GuiTest::EnterAddress(const std::string &text) {
    wxTextCtrl *box = CMainFrame::GetAddressBox();
    box->ChangeValue(wxString::FromUTF8(text));
    wxCommandEvent enter(wxEVT_TEXT_ENTER, box->GetId());
    enter.SetEventObject(box);
    box->ProcessWindowEvent(enter);
}

bool GuiTest::Command(int id) {
    if (!g_pMainFrame || !g_pMainFrame->GetMenuBar() || !g_pMainFrame->GetMenuBar()->FindItem(id))
        return false;
    // As the menu does it: the item's update first (a disabled item cannot be chosen), then the command.
    return IsEnabled(id) && g_pMainFrame->ProcessCommand(id);
}

void GuiTest::Click(GtkWidget *widget) {
    const wxRect area = ScreenRect(widget);
    wxUIActionSimulator mouse;
    mouse.MouseMove(area.x + area.width / 2, area.y + area.height / 2);
    Pump(0.05);
    mouse.MouseClick();
}

wxRect GuiTest::ScreenRect(GtkWidget *widget) {
    GtkWidget *top = gtk_widget_get_toplevel(widget);
    int x = 0, y = 0, originX = 0, originY = 0;
    gtk_widget_translate_coordinates(widget, top, 0, 0, &x, &y);
    gdk_window_get_origin(gtk_widget_get_window(top), &originX, &originY);
    return {originX + x, originY + y, gtk_widget_get_allocated_width(widget), gtk_widget_get_allocated_height(widget)};
}

bool GuiTest::MenuOpensAtFullSize(const std::string &title) {
    wxMenuBar *bar = g_pMainFrame ? g_pMainFrame->GetMenuBar() : nullptr;
    const int index = bar ? bar->FindMenu(wxString::FromUTF8(title)) : wxNOT_FOUND;
    if (index == wxNOT_FOUND)
        return false;
    wxMenu *menu = bar->GetMenu(static_cast<size_t>(index));
    GtkWidget *shell = gtk_widget_get_parent(menu->m_owner);
    GtkWidget *popup = gtk_widget_get_toplevel(menu->m_menu);
    Click(menu->m_owner); // on the menu's title, as a person opens it
    const bool opened = RunUntil([popup] { return gtk_widget_get_mapped(popup) != FALSE; }, 5);
    const bool fits = opened && RunUntil(
                                    [&] {
                                        int width = 0, height = 0;
                                        gtk_widget_get_preferred_width(menu->m_menu, nullptr, &width);
                                        gtk_widget_get_preferred_height(menu->m_menu, nullptr, &height);
                                        return gtk_widget_get_allocated_width(popup) >= width &&
                                               gtk_widget_get_allocated_height(popup) >= height;
                                    },
                                    2);
    gtk_menu_shell_deactivate(GTK_MENU_SHELL(shell));
    Pump(0.1);
    return fits;
}

int WhenDialogShown::Enter(wxDialog *dialog) {
    if (m_timer) // the generic message box passes the hook twice on its way to the screen
        return wxID_NONE;
    m_timer = std::make_unique<wxTimer>();
    m_timer->Bind(wxEVT_TIMER, [this, dialog](wxTimerEvent &) {
        if (gtk_widget_get_mapped(dialog->GetHandle()))
            m_timer->Stop(), m_answer(*dialog); // which may run the event loop itself
    });
    m_timer->Start(50);
    return wxID_NONE;
}

namespace {
// The update a menu item or tool button gets before it is shown.
wxUpdateUIEvent UpdateOf(int id) {
    wxUpdateUIEvent event(id);
    event.SetEventObject(g_pMainFrame);
    g_pMainFrame->ProcessWindowEvent(event);
    return event;
}
} // namespace

bool GuiTest::IsEnabled(int id) {
    wxUpdateUIEvent event = UpdateOf(id);
    if (event.GetSetEnabled())
        return event.GetEnabled();
    wxMenuItem *item = g_pMainFrame->GetMenuBar() ? g_pMainFrame->GetMenuBar()->FindItem(id) : nullptr;
    return item && item->IsEnabled();
}

std::string GuiTest::MenusShown() {
    std::string text;
    wxMenuBar *bar = g_pMainFrame->GetMenuBar();
    for (size_t i = 0; bar && i < bar->GetMenuCount(); ++i) {
        text += bar->GetMenuLabelText(i).utf8_string() + ":";
        for (wxMenuItem *item : bar->GetMenu(i)->GetMenuItems()) {
            if (item->IsSeparator()) {
                text += " -";
                continue;
            }
            text += " " + item->GetItemLabelText().utf8_string();
            text += IsEnabled(item->GetId()) ? "" : " (off)";
            text += IsChecked(item->GetId()) ? " (on)" : "";
        }
        text += "\n";
    }
    return text;
}

bool GuiTest::IsChecked(int id) {
    wxUpdateUIEvent event = UpdateOf(id);
    return event.GetSetChecked() && event.GetChecked();
}

std::string GuiTest::MarksDrawn(int id) {
    wxMenu *menu = nullptr;
    wxMenuBar *bar = g_pMainFrame ? g_pMainFrame->GetMenuBar() : nullptr;
    if (!bar || !bar->FindItem(id, &menu) || !menu)
        return "(no menu)";
    menu->UpdateUI(g_pMainFrame);
    std::string marks;
    GList *children = gtk_container_get_children(GTK_CONTAINER(menu->m_menu));
    for (GList *child = children; child; child = child->next) {
        GtkWidget *item = GTK_WIDGET(child->data);
        if (!GTK_IS_CHECK_MENU_ITEM(item))
            continue;
        const bool on = gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(item));
        marks += gtk_check_menu_item_get_draw_as_radio(GTK_CHECK_MENU_ITEM(item)) ? (on ? '@' : 'o') : (on ? 'x' : '_');
        if (!gtk_widget_get_sensitive(item))
            marks += '-';
    }
    g_list_free(children);
    return marks;
}

std::string GuiTest::DataPath(const std::string &relative) {
    return std::string(DEALSCOPE_TEST_DATA) + "/" + relative;
}

std::u16string GuiTest::FileUri(const std::string &path) {
    return platform::Utf8ToUtf16(platform::FileUriFromPath(path));
}

std::string GuiTest::CopyPage(const std::string &page, const std::string &name) {
    std::string path = m_home + "/" + name;
    fs::copy_file(DataPath("conversion/" + page), path);
    return path;
}

int GuiTest::RunProgram(const std::vector<std::string> &arguments, bool answerBox) {
    // The box is answered as a person would: it gets the keyboard focus, and Return presses its OK button (tried
    // again while it is not up yet, or one of the program's windows went away during the search). LeakSanitizer
    // fails inside the program once its window has run (it cannot stop the toolkit's threads); the window's own
    // objects are checked by the tests that run it in this process.
    const std::string answer =
        "export ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\"; (for try in $(seq 240); do timeout 5 xdotool search "
        "--onlyvisible --pid $$ --name '^Dealscope$' windowfocus --sync key Return 2>/dev/null && exit 0; sleep 0.5; "
        "done; echo no message box to answer) & ";
    const ProgramResult result = ::RunProgram(DEALSCOPE_PROGRAM, arguments, answerBox ? answer : "");
    EXPECT_EQ(result.output.find("no message box to answer"), std::string::npos);
    return result.exitCode;
}

std::string GuiTest::RegisterCompanion(const std::string &program) {
    return companion::RegisterLocalServer(companion::TRICKSMITH_CLASS_ID, companion::TRICKSMITH_PROG_ID, program);
}

DrawnWindow::DrawnWindow(wxWindow &window) {
    GtkWidget *top = window.GetHandle();
    m_surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, gtk_widget_get_allocated_width(top),
                                           gtk_widget_get_allocated_height(top));
    cairo_t *context = cairo_create(m_surface);
    gtk_widget_draw(top, context);
    cairo_destroy(context);
    cairo_surface_flush(m_surface);
}

DrawnWindow::~DrawnWindow() {
    cairo_surface_destroy(m_surface);
}

const unsigned char *DrawnWindow::Pixel(int x, int y) const {
    return cairo_image_surface_get_data(m_surface) + y * cairo_image_surface_get_stride(m_surface) + 4 * x;
}
