#include "platform/utf8.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <cstdint>
#include <cstring>

namespace platform {

namespace {

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The length of the well-formed sequence at p, whose lead byte is not ASCII, and its code point in `code`; 0 when
// no well-formed sequence starts at p.
size_t DecodeSequence(const unsigned char *p, const unsigned char *end, char32_t &code) {
    const unsigned c = *p;
    const ptrdiff_t left = end - p;
    if (c >= 0xC2 && c <= 0xDF) {
        if (left < 2 || !IsContinuation(p[1]))
            return 0;
        code = ((c & 0x1F) << 6) | (p[1] & 0x3F);
        return 2;
    }
    if (c >= 0xE0 && c <= 0xEF) {
        // No overlong forms (E0 80..9F) and no surrogates (ED A0..BF).
        if (left < 3 || !IsContinuation(p[1]) || !IsContinuation(p[2]) || (c == 0xE0 && p[1] < 0xA0) ||
            (c == 0xED && p[1] > 0x9F))
            return 0;
        code = ((c & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        // No overlong forms (F0 80..8F) and nothing beyond U+10FFFF (F4 90..BF).
        if (left < 4 || !IsContinuation(p[1]) || !IsContinuation(p[2]) || !IsContinuation(p[3]) ||
            (c == 0xF0 && p[1] < 0x90) || (c == 0xF4 && p[1] > 0x8F))
            return 0;
        code = ((c & 0x07) << 18) | ((p[1] & 0x3Fu) << 12) | ((p[2] & 0x3Fu) << 6) | (p[3] & 0x3Fu);
        return 4;
    }
    return 0;
}

} // namespace

size_t AppendUtf8AsUtf16(std::u16string &text, std::string_view bytes, Utf8Invalid invalid) {
    const auto *const begin = reinterpret_cast<const unsigned char *>(bytes.data());
    const unsigned char *const end = begin + bytes.size();
    const unsigned char *p = begin;
    text.reserve(text.size() + bytes.size());
    // Decoded through a small buffer, so that the text is written once and never zero-filled first. Texts are
    // nearly all ASCII, which goes sixteen or eight bytes at a time.
    constexpr size_t BUFFER = 2048;
    char16_t buffer[BUFFER];
    size_t fill = 0;
    while (p < end) {
        if (fill > BUFFER - 16) {
            text.append(buffer, fill);
            fill = 0;
        }
#ifdef __SSE2__
        if (end - p >= 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            if (_mm_movemask_epi8(chunk) == 0) {
                const __m128i zero = _mm_setzero_si128();
                _mm_storeu_si128(reinterpret_cast<__m128i *>(buffer + fill), _mm_unpacklo_epi8(chunk, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(buffer + fill + 8), _mm_unpackhi_epi8(chunk, zero));
                fill += 16;
                p += 16;
                continue;
            }
        }
#endif
        if (end - p >= 8) {
            uint64_t word;
            std::memcpy(&word, p, sizeof word);
            if ((word & 0x8080808080808080ull) == 0) {
                for (int i = 0; i < 8; ++i)
                    buffer[fill + i] = p[i];
                fill += 8;
                p += 8;
                continue;
            }
        }
        if (*p < 0x80) {
            buffer[fill++] = *p++;
            continue;
        }
        char32_t code = 0;
        const size_t length = DecodeSequence(p, end, code);
        if (length == 0) {
            if (invalid == Utf8Invalid::Stop)
                break;
            buffer[fill++] = static_cast<char16_t>(0xDC00 + *p++);
        } else if (code >= 0x10000) {
            buffer[fill++] = static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            buffer[fill++] = static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
            p += length;
        } else {
            buffer[fill++] = static_cast<char16_t>(code);
            p += length;
        }
    }
    text.append(buffer, fill);
    return static_cast<size_t>(p - begin);
}

bool IsWellFormedUtf8(std::string_view bytes) {
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const unsigned char *const end = p + bytes.size();
    while (p < end) {
        char32_t code;
        const size_t length = *p < 0x80 ? 1 : DecodeSequence(p, end, code);
        if (length == 0)
            return false;
        p += length;
    }
    return true;
}

void AppendUtf8(std::string &out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void AppendUtf16AsUtf8(std::string &out, std::u16string_view text, bool escapedBytes) {
    out.reserve(out.size() + text.size() + text.size() / 2);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (escapedBytes && c >= 0xDC80 && c <= 0xDCFF) {
            out.push_back(static_cast<char>(c - 0xDC00));
            continue;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            c = 0xFFFD; // a lone surrogate has no UTF-8 form
        }
        AppendUtf8(out, c);
    }
}

} // namespace platform
