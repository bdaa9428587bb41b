#include "app/program_folders.h"

#include <filesystem>

#include "config/layout.h"

namespace {

// A place relative to the running executable's folder; empty when the system does not tell where that is.
std::string BesideExecutable(const char *relative) {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    if (error || folder.empty())
        return {};
    return (folder / relative).lexically_normal().string();
}

} // namespace

std::string ModuleFolder() {
    return BesideExecutable(DEALSCOPE_MODULE_FROM_BIN);
}

std::string ResourceFolder() {
    return BesideExecutable(DEALSCOPE_RESOURCE_FROM_BIN);
}

std::string IconFolder() {
    return BesideExecutable(DEALSCOPE_ICON_FROM_BIN);
}
