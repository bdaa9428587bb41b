#include "companion/automation_text.h"

#include <charconv>

namespace companion {

namespace {
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

std::string PercentEncode(std::string_view bytes) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() + 8);
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == '%' || byte == 0x7F) {
            text.push_back('%');
            text.push_back(HEX[byte >> 4]);
            text.push_back(HEX[byte & 15]);
        } else {
            text.push_back(c);
        }
    }
    return text;
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

bool ParseInt32(std::string_view text, int &value) {
    if (text.empty())
        return false;
    const char *end = text.data() + text.size();
    auto [ptr, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && ptr == end;
}

} // namespace companion
