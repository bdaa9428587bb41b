#include "pbn_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace standin {

namespace {

bool Fail(int fd, std::string &why, std::string reason) {
    close(fd);
    why = std::move(reason);
    return false;
}

} // namespace

bool ReadPbnFile(const std::string &path, std::string &bytes, std::string &why) {
    bytes.clear();
    // Not blocking: the open of a pipe without a writer would wait for one. (A regular file's reads ignore it.)
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        why = std::strerror(errno);
        return false;
    }
    struct stat info;
    if (fstat(fd, &info) != 0)
        return Fail(fd, why, std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        return Fail(fd, why, std::strerror(EISDIR));
    if (!S_ISREG(info.st_mode))
        return Fail(fd, why, "not a regular file");
    const std::string tooLarge = "larger than " + std::to_string(MAX_PBN_FILE_BYTES) + " bytes";
    if (static_cast<unsigned long long>(info.st_size) > MAX_PBN_FILE_BYTES)
        return Fail(fd, why, tooLarge);
    bytes.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Fail(fd, why, std::strerror(errno));
        // The file may grow while we read it.
        if (static_cast<size_t>(got) > MAX_PBN_FILE_BYTES - bytes.size())
            return Fail(fd, why, tooLarge);
        bytes.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    return true;
}

} // namespace standin
