#include "app/batch_page_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/page_charset.h"
#include "app/url_fetcher.h"
#include "platform/charset_table.h"
#include "platform/error_report.h"
#include "platform/file_uri.h"
#include "platform/path_text.h"
#include "platform/wide_text.h"

using platform::Utf8ToUtf16;

BatchPageSource::BatchPageSource(std::u16string url, std::string bytes, unsigned codePage)
    : m_url(std::move(url)), m_bytes(std::move(bytes)), m_codePage(codePage) {}

bool BatchPageSource::GetRawSource(std::string &bytes) {
    // All bytes as loaded: the document keeps them whole for saving and decodes only up to a zero byte.
    bytes = m_bytes;
    return true;
}

namespace {

[[noreturn]] void FailedToOpen(const std::u16string &path, int error) {
    platform::FatalError(u"Failed to open document.\r\n" + Utf8ToUtf16(std::strerror(error)) + u".", path);
}

} // namespace

BatchPageSource ReadPageFile(const std::u16string &path) {
    std::string name = platform::PathTextToBytes(path);
    int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        FailedToOpen(path, errno);
    std::string bytes;
    auto tooLarge = [&] {
        close(fd);
        platform::FatalError(u"Failed to open document.\r\nThe page is larger than " +
                                 platform::WidenAscii(std::to_string(MAX_PAGE_BYTES)) + u" bytes.",
                             path);
    };
    // A file known to be too large is refused before any of it is read; one that grows is stopped at the limit.
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        if (static_cast<unsigned long long>(info.st_size) > MAX_PAGE_BYTES)
            tooLarge();
        bytes.reserve(static_cast<size_t>(info.st_size));
    }
    char buffer[65536];
    while (true) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got > 0 && static_cast<size_t>(got) > MAX_PAGE_BYTES - bytes.size())
            tooLarge();
        if (got < 0) {
            if (errno == EINTR)
                continue;
            int error = errno;
            close(fd);
            FailedToOpen(path, error);
        }
        bytes.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    unsigned codePage = platform::GetCharsetCodePage(FindPageCharset({}, bytes));
    return BatchPageSource(Utf8ToUtf16(platform::FileUriFromPath(name)), std::move(bytes), codePage);
}

BatchPageSource LoadPageFromUrl(const std::u16string &url) {
    // A page file named by its URL is read as the file itself is, with the same messages.
    const std::string address = platform::PathTextToBytes(url);
    std::string path;
    if (platform::PathFromFileUri(address, path))
        return ReadPageFile(platform::PathBytesToText(path));
    FetchedPage page;
    try {
        page = FetchUrl(address);
    } catch (const platform::ProgramException &error) {
        platform::ReportException(error, url);
    }
    unsigned codePage = platform::GetCharsetCodePage(FindPageCharset(page.contentType, page.bytes));
    return BatchPageSource(Utf8ToUtf16(page.effectiveUrl), std::move(page.bytes), codePage);
}
