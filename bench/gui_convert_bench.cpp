// Loads a generated result page of 1,000 boards in the window (run it under an X server, e.g. xvfb-run) and
// compares what the program adds to each page load (fetching the page's bytes and charset from WebKit, then the
// document's load entry: decode, parse, convert) with the time WebKit itself takes to load the page.
// Prints the medians of several loads and last "gui_convert_vs_webkit <ratio>" (goal: at most 0.3).
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <wx/evtloop.h>
#include <wx/timer.h>
#include <wx/webview.h>

#include "app/window/browser_view.h"
#include "app/window/command_ids.h"
#include "app/window/main_frame.h"
#include "app/window/page_document.h"
#include "app/window/window_app.h"

namespace {

constexpr int BOARDS = 1000;
constexpr int LOADS = 7;

bool RunUntil(const std::function<bool()> &condition, double seconds) {
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
    timer.Start(1);
    loop.Run();
    return met;
}

double Ms(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
    char pattern[] = "/tmp/dealscope-gui-bench-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    std::string home = pattern;
    std::filesystem::create_directories(home + "/config");
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    setenv("NO_AT_BRIDGE", "1", 1);
    std::string page = home + "/results.htm";
    std::string generate = "python3 '" MAKE_BATCH_PAGE "' " + std::to_string(BOARDS) + " '" + page + "'";
    if (std::system(generate.c_str()) != 0) {
        std::fprintf(stderr, "cannot generate the page\n");
        return 1;
    }
    std::printf("page: %d boards, %ju bytes\n", BOARDS, static_cast<uintmax_t>(std::filesystem::file_size(page)));

    std::vector<std::string> storage = {argc > 0 ? argv[0] : "gui_convert_bench", page};
    std::vector<char *> arguments;
    for (std::string &argument : storage)
        arguments.push_back(argument.data());
    arguments.push_back(nullptr);
    int count = static_cast<int>(storage.size());
    auto *app = new CDSCApp;
    app->SetCommandLine(count, arguments.data());
    wxApp::SetInstance(app);
    if (!wxEntryStart(count, arguments.data()) || !app->CallOnInit() || app->m_bStartupFailed) {
        std::fprintf(stderr, "the window did not start (is there a display?)\n");
        return 1;
    }

    CDSCDocument *document = app->FirstPageDocument();
    CDSCView *view = document ? document->GetBrowserView() : nullptr;
    std::vector<double> webkit, capture, loadEntry, ratio;
    for (int load = 0; view && load <= LOADS; ++load) {
        if (load > 0) {
            document->Page().m_bPageLoaded = false;
            view->GetWebView()->Reload(wxWEBVIEW_RELOAD_NO_CACHE);
        }
        if (!RunUntil([&] { return document->Page().m_bPageLoaded; }, 120)) {
            std::fprintf(stderr, "the page did not load\n");
            return 1;
        }
        if (load == 0)
            continue; // the first load warms WebKit's processes up
        const CDSCView::PageTimes &times = view->LastPageTimes();
        webkit.push_back(Ms(times.loaded - times.navigating));
        capture.push_back(Ms(times.captured - times.loaded));
        loadEntry.push_back(Ms(times.converted - times.captured));
        ratio.push_back(Ms(times.converted - times.loaded) / Ms(times.loaded - times.navigating));
    }
    if (!document || !document->Page().m_bConverted) {
        std::fprintf(stderr, "the page did not convert\n");
        return 1;
    }
    std::printf("status: %s\n",
                std::string(document->Page().m_strStatus.begin(), document->Page().m_strStatus.end()).c_str());
    std::printf("webkit_load_ms %.1f\n", Median(webkit));
    std::printf("page_bytes_and_charset_ms %.1f\n", Median(capture));
    std::printf("load_entry_and_conversion_ms %.1f\n", Median(loadEntry));
    std::printf("gui_convert_vs_webkit %.3f\n", Median(ratio));

    if (g_pMainFrame)
        g_pMainFrame->Close(true);
    RunUntil([] { return false; }, 0.3);
    app->OnExit();
    wxEntryCleanup();
    std::filesystem::remove_all(home);
    return 0;
}
