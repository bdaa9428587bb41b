#include "app/window/window_services.h"

namespace {
IWindowServices *g_windowServices = nullptr;
}

void SetWindowServices(IWindowServices *services) {
    g_windowServices = services;
}

IWindowServices *GetWindowServices() {
    return g_windowServices;
}

IMainWindow *GetMainWindow() {
    return g_windowServices ? g_windowServices->MainWindow() : nullptr;
}

wxAuiMDIParentFrame *GetMainFrame() {
    IMainWindow *mainWindow = GetMainWindow();
    return mainWindow ? mainWindow->Frame() : nullptr;
}
