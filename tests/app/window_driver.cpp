#include "window_driver.h"

#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <wx/evtloop.h>
#include <wx/menu.h>
#include <wx/timer.h>
#include <wx/webview.h>

#include "app/window/browser_view.h"
#include "app/window/child_frame.h"
#include "app/window/main_frame.h"
#include "app/window/page_document.h"
#include "app/window/text_view.h"
#include "app/window/window_app.h"

extern char **environ;

namespace {
// A failed check inside wxWidgets fails the test instead of waiting for someone to close a dialog.
void FailOnAssert(const wxString &file, int line, const wxString &function, const wxString &condition,
                  const wxString &message) {
    ADD_FAILURE() << "wxWidgets assertion " << condition << " (" << message << ") in " << function << " at " << file
                  << ":" << line;
}
} // namespace

void WindowTest::SetUp() {
    wxSetAssertHandler(FailOnAssert);
    char pattern[] = "/tmp/dealscope-gui-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_home = pattern;
    std::filesystem::create_directories(m_home + "/config");
    std::filesystem::create_directories(m_home + "/tmp");
    setenv("HOME", m_home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (m_home + "/config").c_str(), 1);
    setenv("TMPDIR", (m_home + "/tmp").c_str(), 1);
    // No accessibility bus, plain X11 and software drawing: the same window on every virtual display.
    setenv("NO_AT_BRIDGE", "1", 1);
    setenv("GDK_BACKEND", "x11", 1);
    setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    SetWindowPrompts(&m_prompts);
}

void WindowTest::TearDown() {
    if (m_started) {
        if (g_pMainFrame) {
            g_pMainFrame->Close(true);
            Pump(0.3);
        }
        m_app->OnExit();
        wxEntryCleanup();
    }
    SetWindowPrompts(nullptr);
    std::error_code error;
    std::filesystem::remove_all(m_home, error);
}

bool WindowTest::Start(const std::vector<std::string> &arguments) {
    static std::vector<std::string> storage;
    storage = arguments;
    storage.insert(storage.begin(), "dealscope");
    static std::vector<char *> argv;
    argv.clear();
    for (std::string &argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(storage.size());

    m_app = new CDSCApp;
    m_app->SetCommandLine(argc, argv.data());
    wxApp::SetInstance(m_app);
    if (!wxEntryStart(argc, argv.data()))
        return false;
    m_started = true;
    if (!m_app->CallOnInit())
        return false;
    return !m_app->m_bStartupFailed;
}

bool WindowTest::RunUntil(const std::function<bool()> &condition, double seconds) {
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

void WindowTest::Pump(double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    RunUntil([end] { return std::chrono::steady_clock::now() > end; }, seconds + 1);
}

CDSCDocument *WindowTest::ActiveDocument() {
    wxView *view = wxDocManager::GetDocumentManager()->GetAnyUsableView();
    return view ? wxDynamicCast(view->GetDocument(), CDSCDocument) : nullptr;
}

namespace {
wxView *ActiveChildView() {
    if (!g_pMainFrame)
        return nullptr;
    auto *child = dynamic_cast<CChildFrame *>(g_pMainFrame->GetActiveChild());
    return child ? child->GetView() : nullptr;
}
} // namespace

CDSCView *WindowTest::ActiveBrowserView() {
    return wxDynamicCast(ActiveChildView(), CDSCView);
}
CDSCTextView *WindowTest::ActiveTextView() {
    return wxDynamicCast(ActiveChildView(), CDSCTextView);
}

bool WindowTest::WaitForActivePage(double seconds) {
    return RunUntil(
        [] {
            CDSCView *view = ActiveBrowserView();
            return view && view->GetPageDocument() && view->GetPageDocument()->Page().m_bPageLoaded;
        },
        seconds);
}

bool WindowTest::Command(int id) {
    if (!g_pMainFrame || !g_pMainFrame->GetMenuBar() || !g_pMainFrame->GetMenuBar()->FindItem(id))
        return false;
    // As the menu does it: the item's update first (a disabled item cannot be chosen), then the command.
    if (!IsEnabled(id))
        return false;
    return g_pMainFrame->ProcessCommand(id);
}

bool WindowTest::IsEnabled(int id) {
    wxUpdateUIEvent event(id);
    event.SetEventObject(g_pMainFrame);
    g_pMainFrame->ProcessWindowEvent(event);
    if (event.GetSetEnabled())
        return event.GetEnabled();
    wxMenuItem *item = g_pMainFrame->GetMenuBar() ? g_pMainFrame->GetMenuBar()->FindItem(id) : nullptr;
    return item && item->IsEnabled();
}

bool WindowTest::IsChecked(int id) {
    wxUpdateUIEvent event(id);
    event.SetEventObject(g_pMainFrame);
    g_pMainFrame->ProcessWindowEvent(event);
    return event.GetSetChecked() && event.GetChecked();
}

std::string WindowTest::ReadFile(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void WindowTest::WriteFile(const std::string &path, const std::string &bytes) {
    std::ofstream file(path, std::ios::binary);
    file << bytes;
}

std::string WindowTest::DataPath(const std::string &relative) {
    return std::string(DEALSCOPE_TEST_DATA) + "/" + relative;
}

std::string WindowTest::WithoutCreatedLine(const std::string &pbn) {
    std::string result;
    size_t start = 0;
    while (start < pbn.size()) {
        size_t end = pbn.find('\n', start);
        end = end == std::string::npos ? pbn.size() : end + 1;
        if (pbn.compare(start, 9, "%Created:") != 0)
            result.append(pbn, start, end - start);
        start = end;
    }
    return result;
}

int WindowTest::RunProgram(const std::vector<std::string> &arguments) {
    std::vector<std::string> storage = arguments;
    storage.insert(storage.begin(), DEALSCOPE_PROGRAM);
    std::vector<char *> argv;
    for (std::string &argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, DEALSCOPE_PROGRAM, nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
