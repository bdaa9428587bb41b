#include "platform/path_identity.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace platform {

namespace {

// Where a link points, a relative target taken from the link's folder; nothing when the path is no link, or
// when the link cannot be read (then `unreadable` is set).
std::optional<std::string> LinkTarget(const std::string &path, bool &unreadable) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return std::nullopt;
    char target[PATH_MAX];
    ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
    if (length <= 0) {
        unreadable = true;
        return std::nullopt;
    }
    std::string next(target, static_cast<size_t>(length));
    if (next[0] != '/') {
        std::string folder = FolderOf(path);
        next = (folder == "/" ? "/" : folder + "/") + next;
    }
    return next;
}

// A descriptor number as the system's descriptor folder spells it: decimal digits without a leading zero.
int DescriptorNumber(const std::string &name) {
    if (name.empty() || name.size() > 9 || (name[0] == '0' && name.size() > 1))
        return -1;
    int number = 0;
    for (char c : name) {
        if (c < '0' || c > '9')
            return -1;
        number = number * 10 + (c - '0');
    }
    return number;
}

// Where a file that does not exist yet would be made: its folder with links and "." / ".." resolved.
std::string PlaceOf(const std::string &path) {
    std::string target = DanglingLinkTarget(path);
    std::string folder = FolderOf(target);
    std::optional<std::string> real = RealPath(folder);
    std::error_code error;
    std::string place = real ? *real : std::filesystem::absolute(folder, error).lexically_normal().string();
    if (place.empty() || place.back() != '/')
        place += '/';
    return place + NameOf(target);
}

} // namespace

std::string FolderOf(const std::string &path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::optional<std::string> RealPath(const std::string &path) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr)
        return std::nullopt;
    return std::string(resolved);
}

std::string NameOf(const std::string &path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DanglingLinkTarget(const std::string &path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        bool unreadable = false;
        std::optional<std::string> next = LinkTarget(current, unreadable);
        if (unreadable)
            return path;
        if (!next)
            return current;
        current = std::move(*next);
    }
    return path;
}

int NamedDescriptor(const std::string &path) {
    // The descriptor folder of this process, and of its calling thread, as the system spells them; without
    // /proc no path names a descriptor.
    std::optional<std::string> processFolder = RealPath("/proc/self/fd");
    if (!processFolder)
        return -1;
    std::optional<std::string> threadFolder = RealPath("/proc/thread-self/fd");
    // Follow the chain of links by hand: the last link, into the descriptor folder, is one the system resolves
    // to whatever the descriptor holds (a pipe, a terminal, a file that another name may have replaced).
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        int number = DescriptorNumber(NameOf(current));
        if (number >= 0) {
            std::optional<std::string> folder = RealPath(FolderOf(current));
            if (folder && (*folder == *processFolder || folder == threadFolder))
                return number;
        }
        bool unreadable = false;
        std::optional<std::string> next = LinkTarget(current, unreadable);
        if (!next)
            return -1;
        current = std::move(*next);
    }
    return -1;
}

bool NameSameRegularFile(const std::string &first, const std::string &second) {
    struct stat a, b;
    bool firstExists = stat(first.c_str(), &a) == 0, secondExists = stat(second.c_str(), &b) == 0;
    if (firstExists && secondExists)
        return S_ISREG(a.st_mode) && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    if (firstExists || secondExists)
        return false;
    return PlaceOf(first) == PlaceOf(second);
}

} // namespace platform
