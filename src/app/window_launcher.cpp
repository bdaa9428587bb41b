#include "app/window_launcher.h"

#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "app/program_folders.h"
#include "app/window_entry.h"

int RunWindowModule(int argc, char **argv) {
    std::string module = ModuleFolder() + "/" DEALSCOPE_WINDOW_MODULE;
    // The module stays loaded to the end of the process: the window's libraries keep exit handlers.
    void *handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char *reason = dlerror();
        std::fprintf(stderr,
                     "Dealscope: the window is not available (%s).\n"
                     "Pages can still be converted without it: dealscope PAGE -pbn OUT.pbn -text OUT.txt\n",
                     reason ? reason : module.c_str());
        return 1;
    }
    using Entry = int (*)(int, char **);
    auto entry = reinterpret_cast<Entry>(dlsym(handle, DEALSCOPE_WINDOW_ENTRY));
    if (!entry) {
        std::fprintf(stderr, "Dealscope: the window module %s has no entry point %s.\n", module.c_str(),
                     DEALSCOPE_WINDOW_ENTRY);
        return 1;
    }
    return entry(argc, argv);
}
