#include "platform/kept_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

RegularFileRead Fail(int fd, std::string &bytes, RegularFileRead what) {
    if (fd >= 0)
        close(fd);
    bytes.clear();
    return what;
}

} // namespace

RegularFileRead ReadRegularFile(const std::string &path, size_t maxBytes, std::string &bytes, int &error) {
    bytes.clear();
    error = 0;
    // The type is known before the open, which could itself wait (a pipe) or act (a device); and again after it,
    // in case another file took the name in between: opening does not wait, so that check is always reached.
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        error = errno;
        return error == ENOENT ? RegularFileRead::Missing : RegularFileRead::Failed;
    }
    if (!S_ISREG(info.st_mode))
        return S_ISDIR(info.st_mode) ? RegularFileRead::Folder : RegularFileRead::NotRegular;
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return error == ENOENT ? RegularFileRead::Missing : RegularFileRead::Failed;
    }
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return Fail(fd, bytes, RegularFileRead::NotRegular);
    // A file known to be too large is refused before any of it is read.
    if (static_cast<unsigned long long>(info.st_size) > maxBytes)
        return Fail(fd, bytes, RegularFileRead::TooLarge);
    bytes.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = errno;
            return Fail(fd, bytes, RegularFileRead::Failed);
        }
        if (got == 0)
            break;
        // The file may grow while we read it.
        if (static_cast<size_t>(got) > maxBytes - bytes.size())
            return Fail(fd, bytes, RegularFileRead::TooLarge);
        bytes.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    return RegularFileRead::Read;
}

KeptFileRead ReadKeptFile(const std::string &path, std::string &bytes, std::string &reason) {
    int error = 0;
    switch (ReadRegularFile(path, MAX_KEPT_FILE_BYTES, bytes, error)) {
    case RegularFileRead::Read:
        return KeptFileRead::Read;
    case RegularFileRead::Missing:
        return KeptFileRead::Missing;
    case RegularFileRead::Folder:
        reason = "it is a folder";
        break;
    case RegularFileRead::NotRegular:
        reason = "it is not a regular file";
        break;
    case RegularFileRead::TooLarge:
        reason = "it is larger than " + std::to_string(MAX_KEPT_FILE_BYTES) + " bytes";
        break;
    case RegularFileRead::Failed:
        reason = std::strerror(error);
        break;
    }
    return KeptFileRead::Unreadable;
}

} // namespace platform
