// The window module's entry point, called by the executable when a window is wanted.
#include "app/window_entry.h"

#include "app/window/window_app.h"

extern "C" __attribute__((visibility("default"))) int DealscopeWindowMain(int argc, char **argv) {
    auto *app = new CDSCApp;
    app->SetCommandLine(argc, argv);
    wxApp::SetInstance(app);
    int code = wxEntry(argc, argv);
    // wxEntry gives -1 when the toolkit could not start (no display, for one).
    return code < 0 ? 1 : code;
}
