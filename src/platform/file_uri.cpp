#include "platform/file_uri.h"

#include <filesystem>

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

bool PathFromFileUri(std::string_view uri, std::string &path) {
    constexpr std::string_view SCHEME = "file://";
    if (uri.size() < SCHEME.size())
        return false;
    for (size_t i = 0; i < SCHEME.size(); ++i)
        if ((uri[i] | 0x20) != SCHEME[i] && uri[i] != SCHEME[i])
            return false;
    uri.remove_prefix(SCHEME.size());
    size_t slash = uri.find('/');
    std::string_view host = uri.substr(0, slash);
    if (slash == std::string_view::npos || (!host.empty() && host != "localhost"))
        return false;
    uri = uri.substr(slash, uri.find_first_of("?#") - slash);
    auto hex = [](char c) {
        return c >= '0' && c <= '9' ? c - '0' : (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10 : -1;
    };
    std::string decoded;
    for (size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] != '%') {
            decoded += uri[i];
            continue;
        }
        int high = i + 2 < uri.size() ? hex(uri[i + 1]) : -1, low = i + 2 < uri.size() ? hex(uri[i + 2]) : -1;
        if (high < 0 || low < 0 || (high == 0 && low == 0))
            return false;
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    path = std::move(decoded);
    return true;
}

} // namespace platform
