#include "companion/temp_pbn_file.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "platform/error_report.h"
#include "platform/process.h"
#include "platform/wide_text.h"

namespace companion {

std::string TempFolder() {
    const char *folder = std::getenv("TMPDIR");
    std::string path = folder && folder[0] ? folder : "/tmp";
    // The path is handed to the companion, which need not work in our current folder: make it absolute.
    if (path[0] != '/') {
        std::error_code error;
        std::filesystem::path absolute = std::filesystem::absolute(path, error);
        if (!error)
            path = absolute.lexically_normal().string();
    }
    if (path.back() != '/')
        path.push_back('/');
    return path;
}

std::u16string TempPbnBaseName(std::u16string_view defaultFileName) {
    std::u16string_view name = defaultFileName;
    size_t folderEnd = name.find_last_of(u"/\\");
    if (folderEnd != std::u16string_view::npos)
        name.remove_prefix(folderEnd + 1);
    size_t dot = name.rfind(u'.');
    if (dot != std::u16string_view::npos)
        name = name.substr(0, dot);
    return std::u16string(name);
}

int CreateTempPbnFile(std::u16string_view defaultFileName, std::string &path) {
    std::string folder = TempFolder();
    std::u16string base = TempPbnBaseName(defaultFileName);
    std::string baseBytes = platform::Utf16ToUtf8(base);
    // A NUL would silently cut the name short; no such name can be created.
    bool nameUsable = baseBytes.find('\0') == std::string::npos;
    for (int i = 0; nameUsable && i <= 999; ++i) {
        std::string candidate = folder + baseBytes;
        if (i > 0)
            candidate += "-" + std::to_string(i);
        candidate += ".pbn";
        int fd = open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            path = candidate;
            return fd;
        }
    }
    char resolved[4096];
    // The folder as the user would find it, links resolved, with its trailing '/' as the names are made from it.
    std::string shown = folder;
    if (realpath(folder.c_str(), resolved)) {
        shown = resolved;
        if (shown.back() != '/')
            shown.push_back('/');
    }
    platform::FatalError(platform::Utf8ToUtf16("Unable to create a temporary file in the folder '" + shown +
                                               "'.\r\n\r\nBe sure this folder exists, and if so, delete .pbn "
                                               "files beginning with '") +
                         base + u"'.");
}

std::string WriteTempPbn(std::string_view pbn, std::u16string_view defaultFileName) {
    std::string path;
    int fd = CreateTempPbnFile(defaultFileName, path);
    size_t done = 0;
    int error = 0;
    while (done < pbn.size()) {
        ssize_t written = write(fd, pbn.data() + done, pbn.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            break;
        }
        done += static_cast<size_t>(written);
    }
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        platform::ReportException(platform::ProgramException(platform::Utf8ToUtf16(platform::ErrnoText(error))),
                                  platform::Utf8ToUtf16(path));
    return path;
}

} // namespace companion
