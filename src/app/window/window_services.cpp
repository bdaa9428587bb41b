#include "app/window/window_services.h"

#include <wx/aui/auibook.h>
#include <wx/aui/tabmdi.h>

namespace {
IWindowServices *g_windowServices = nullptr;
IMainWindow *g_mainWindow = nullptr;
} // namespace

void SetWindowServices(IWindowServices *services) {
    g_windowServices = services;
}

IWindowServices *GetWindowServices() {
    return g_windowServices;
}

void SetMainWindow(IMainWindow *window) {
    g_mainWindow = window;
}

IMainWindow *GetMainWindow() {
    return g_mainWindow;
}

wxAuiMDIParentFrame *GetMainFrame() {
    return dynamic_cast<wxAuiMDIParentFrame *>(g_mainWindow);
}
