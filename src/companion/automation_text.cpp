#include "companion/automation_text.h"

#include <charconv>

namespace companion {

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

bool ParseInt32(std::string_view text, int &value) {
    if (text.empty())
        return false;
    const char *end = text.data() + text.size();
    auto [ptr, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && ptr == end;
}

} // namespace companion
