// The GUI suite's start: wxWidgets on the display that xvfb-run provides, then the tests. Listing the tests (as
// the build does to register them) needs no display.
#include <cstdio>
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/init.h>

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "wxWidgets could not start: no display? Run the suite under xvfb-run.\n");
        return 1;
    }
    int result = 1;
    if (wxTheApp->CallOnInit())
        result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
