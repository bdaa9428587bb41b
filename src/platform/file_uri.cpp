#include "platform/file_uri.h"

#include <filesystem>

#include "platform/wide_text.h"

namespace platform {

namespace {

bool StandsInPath(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    switch (c) {
    case '-':
    case '.':
    case '_':
    case '~':
    case '/':
    case '!':
    case '$':
    case '&':
    case '\'':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case ';':
    case '=':
    case ':':
    case '@':
        return true;
    default:
        return false;
    }
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

std::string FileUriFromPath(std::string_view path) {
    std::string absolute(path);
    if (absolute.empty() || absolute[0] != '/') {
        std::error_code error;
        std::filesystem::path full = std::filesystem::absolute(std::filesystem::path(absolute), error);
        if (!error)
            absolute = full.lexically_normal().string();
    }
    static constexpr char HEX[] = "0123456789ABCDEF";
    std::string uri = "file://";
    uri.reserve(uri.size() + absolute.size() * 3 / 2);
    for (unsigned char c : absolute) {
        if (StandsInPath(c)) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += HEX[c >> 4];
            uri += HEX[c & 15];
        }
    }
    return uri;
}

bool PercentDecode(std::string_view text, std::string &bytes) {
    bytes.clear();
    bytes.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            bytes.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        int high = HexValue(text[i + 1]);
        int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0)
            return false;
        bytes.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return true;
}

bool PathFromFileUri(std::string_view uri, std::string &path) {
    constexpr std::string_view SCHEME = "file://";
    if (StrICmp(uri.substr(0, SCHEME.size()), SCHEME) != 0)
        return false;
    uri.remove_prefix(SCHEME.size());
    size_t slash = uri.find('/');
    std::string_view host = uri.substr(0, slash);
    if (slash == std::string_view::npos || (!host.empty() && host != "localhost"))
        return false;
    std::string decoded;
    // A path cannot hold a NUL.
    if (!PercentDecode(uri.substr(slash, uri.find_first_of("?#") - slash), decoded) ||
        decoded.find('\0') != std::string::npos)
        return false;
    path = std::move(decoded);
    return true;
}

} // namespace platform
