#pragma once
// The program's one UTF-8 decoder and encoder. Well-formed UTF-8 is the shortest form of each code point, no
// surrogates, nothing beyond U+10FFFF; each caller chooses what becomes of bytes that are not.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// What decoding does at a byte that does not start a well-formed sequence.
enum class Utf8Invalid {
    Stop,   // the decoding ends there: the caller rejects the bytes or hands them to a decoder of its own
    Escape, // the byte b becomes the lone code unit U+DC00 + b (U+DC80-U+DCFF), and decoding goes on
};

// Appends the bytes decoded as UTF-16 to `text`; returns how many bytes were decoded (all of them with Escape).
size_t AppendUtf8AsUtf16(std::u16string &text, std::string_view bytes, Utf8Invalid invalid);
bool IsWellFormedUtf8(std::string_view bytes);

inline bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
inline bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The UTF-8 form of one code point (at most U+10FFFF).
void AppendUtf8(std::string &out, char32_t codePoint);
// The text as UTF-8. A lone surrogate becomes U+FFFD; with `escapedBytes` a lone U+DC80-U+DCFF becomes the byte
// it stands for (the reverse of Utf8Invalid::Escape).
void AppendUtf16AsUtf8(std::string &out, std::u16string_view text, bool escapedBytes = false);

} // namespace platform
