#pragma once
// The seam between the light executable and the window. The window (wxWidgets, WebKitGTK) is a module,
// "libdealscope_window.so" in the program's library folder, which the executable opens with dlopen only when a window
// is wanted: a run without "pbn" or "text", or with "dda" alone. A batch run never loads it.

// The name of the module file, looked for in the program's library folder (see program_folders.h).
#define DEALSCOPE_WINDOW_MODULE "libdealscope_window.so"
// The name of its entry point, looked up with dlsym.
#define DEALSCOPE_WINDOW_ENTRY "DealscopeWindowMain"

extern "C" {
// Runs the window with the program's whole command line (argv[0] included) and returns the process exit code.
int DealscopeWindowMain(int argc, char **argv);
}
