// The window module's entry point, called by the executable when a window is wanted.
#include "app/window_entry.h"

#include <cstdio>

#include <gdk/gdk.h>

#include "app/window/window_app.h"

extern "C" __attribute__((visibility("default"))) int DealscopeWindowMain(int argc, char **argv) {
    // Without a display the toolkit cannot start (and would abort the process trying): say so and fail.
    // (Only a look: the toolkit itself starts inside wxEntry, which sets it up its own way.)
    GdkDisplay *display = gdk_display_open(nullptr);
    if (display)
        gdk_display_close(display);
    else {
        std::fprintf(stderr, "Dealscope: there is no display to open the window on; -pbn and -text convert a page "
                             "without one.\n");
        return 1;
    }
    auto *app = new CDSCApp;
    app->SetCommandLine(argc, argv);
    wxApp::SetInstance(app);
    // The application reads its own command line, byte for byte. The toolkit gets the program's name alone: it
    // would complain about (and drop) an argument that is not text in the locale's encoding, such as a page
    // file's name that is not UTF-8.
    int toolkitArgc = 1;
    char *toolkitArgv[] = {argv[0], nullptr};
    int code = wxEntry(toolkitArgc, toolkitArgv);
    // wxEntry gives -1 when the toolkit could not start.
    return code < 0 ? 1 : code;
}
