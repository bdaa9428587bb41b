#include "app/program_folders.h"

#include <filesystem>

#include "config/layout.h"

namespace {

std::string BesideExecutable(const char *relative) {
    std::string folder = ExecutableFolder();
    if (folder.empty())
        return {};
    return (std::filesystem::path(folder) / relative).lexically_normal().string();
}

} // namespace

std::string ExecutableFolder() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.parent_path().string();
}

std::string ModuleFolder() {
    return BesideExecutable(DEALSCOPE_MODULE_FROM_BIN);
}

std::string ResourceFolder() {
    return BesideExecutable(DEALSCOPE_RESOURCE_FROM_BIN);
}

std::string IconFolder() {
    return BesideExecutable(DEALSCOPE_ICON_FROM_BIN);
}
