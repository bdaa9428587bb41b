#include "platform/kept_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

KeptFileRead Unreadable(std::string &reason, std::string text) {
    reason = std::move(text);
    return KeptFileRead::Unreadable;
}

} // namespace

KeptFileRead ReadKeptFile(const std::string &path, std::string &bytes, std::string &reason) {
    bytes.clear();
    // The type is known before the open, which could itself wait (a pipe) or act (a device); and again after it,
    // in case another file took the name in between: opening does not wait, so that check is always reached.
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? KeptFileRead::Missing : Unreadable(reason, std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        return Unreadable(reason, S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file");
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? KeptFileRead::Missing : Unreadable(reason, std::strerror(errno));
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return Unreadable(reason, "it is not a regular file");
    }
    char buffer[16384];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            int error = errno;
            close(fd);
            bytes.clear();
            return Unreadable(reason, std::strerror(error));
        }
        if (got == 0)
            break;
        if (static_cast<size_t>(got) > MAX_KEPT_FILE_BYTES - bytes.size()) {
            close(fd);
            bytes.clear();
            return Unreadable(reason, "it is larger than " + std::to_string(MAX_KEPT_FILE_BYTES) + " bytes");
        }
        bytes.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    return KeptFileRead::Read;
}

} // namespace platform
