#include "platform/wide_text.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <array>
#include <climits>
#include <cstdint>
#include <type_traits>

#include "platform/utf8.h"

namespace platform {

namespace {

constexpr std::array<uint8_t, 256> MakeLatin1Classes() {
    std::array<uint8_t, 256> t{};
    for (int c = 0x09; c <= 0x0D; ++c)
        t[c] |= WCLASS_SPACE;
    t[0x20] |= WCLASS_SPACE;
    t[0x85] |= WCLASS_SPACE;
    t[0xA0] |= WCLASS_SPACE;
    for (int c = '0'; c <= '9'; ++c)
        t[c] |= WCLASS_DIGIT;
    for (int c = 'A'; c <= 'Z'; ++c)
        t[c] |= WCLASS_ALPHA | WCLASS_UPPER;
    for (int c = 'a'; c <= 'z'; ++c)
        t[c] |= WCLASS_ALPHA | WCLASS_LOWER;
    t[0xAA] |= WCLASS_ALPHA | WCLASS_LOWER;
    t[0xB5] |= WCLASS_ALPHA | WCLASS_LOWER;
    t[0xBA] |= WCLASS_ALPHA | WCLASS_LOWER;
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7)
            t[c] |= WCLASS_ALPHA | WCLASS_UPPER;
    for (int c = 0xDF; c <= 0xFF; ++c)
        if (c != 0xF7)
            t[c] |= WCLASS_ALPHA | WCLASS_LOWER;
    return t;
}

constexpr std::array<uint8_t, 256> LATIN1_TABLE = MakeLatin1Classes();

// Value of c as a digit of a number in any base up to 36, or 99 when c is no digit.
unsigned DigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'z')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'Z')
        return c - u'A' + 10;
    if (c >= 0x100 && IsDigitAboveLatin1(c))
        return unsigned(u_charDigitValue(c));
    return 99;
}

struct ParsedInteger {
    uint32_t magnitude = 0;
    bool negative = false;
    bool overflow = false;
    bool readDigit = false;
};

// The shared scanner of wcstoul and wcstol: white space, sign, base prefix, digits. The text is length code units
// long, or ends at its NUL when length is NO_LENGTH; the end reads as a NUL, which stops every step. A null text
// is an empty one. *end is set as an offset into the text.
constexpr size_t NO_LENGTH = SIZE_MAX;
ParsedInteger ScanInteger(const char16_t *text, size_t length, size_t *end, int base) {
    if (!text)
        length = 0;
    auto at = [text, length](size_t i) -> char16_t { return i < length ? text[i] : u'\0'; };
    ParsedInteger r;
    size_t p = 0;
    if (end)
        *end = 0;
    if (base != 0 && (base < 2 || base > 36))
        return r;
    while (IsSpaceW(at(p)))
        ++p;
    if (at(p) == u'-') {
        r.negative = true;
        ++p;
    } else if (at(p) == u'+') {
        ++p;
    }
    const auto prefixX = [&] { return at(p) != u'\0' && (at(p + 1) == u'x' || at(p + 1) == u'X'); };
    if (base == 0) {
        if (DigitValue(at(p)) != 0)
            base = 10;
        else if (prefixX())
            base = 16;
        else
            base = 8;
    }
    if (base == 16 && DigitValue(at(p)) == 0 && prefixX())
        p += 2;
    for (;; ++p) {
        unsigned digit = DigitValue(at(p));
        if (digit >= unsigned(base))
            break;
        r.readDigit = true;
        uint64_t next = uint64_t(r.magnitude) * unsigned(base) + digit;
        if (next > 0xFFFFFFFFu) {
            r.overflow = true;
            next = 0xFFFFFFFFu;
        }
        r.magnitude = uint32_t(next);
    }
    if (!r.readDigit) {
        // No number there: nothing is consumed, not even white space, sign or prefix.
        r = ParsedInteger{};
        return r;
    }
    if (end)
        *end = p;
    return r;
}

uint32_t UnsignedResult(const ParsedInteger &r) {
    return UnsignedReading(r.magnitude, r.negative, r.overflow);
}

int32_t SignedResult(const ParsedInteger &r) {
    return SignedReading(r.magnitude, r.negative, r.overflow);
}

template <typename Char> int CompareFoldingAscii(const Char *a, size_t aLen, const Char *b, size_t bLen, size_t limit) {
    for (size_t i = 0; i < limit; ++i) {
        unsigned ca = i < aLen ? unsigned(std::make_unsigned_t<Char>(a[i])) : 0;
        unsigned cb = i < bLen ? unsigned(std::make_unsigned_t<Char>(b[i])) : 0;
        if (ca >= 'A' && ca <= 'Z')
            ca += 0x20;
        if (cb >= 'A' && cb <= 'Z')
            cb += 0x20;
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
    return 0;
}

} // namespace

const uint8_t LATIN1_CLASSES[256] = {
#define ROW(n)                                                                                                         \
    LATIN1_TABLE[n], LATIN1_TABLE[n + 1], LATIN1_TABLE[n + 2], LATIN1_TABLE[n + 3], LATIN1_TABLE[n + 4],               \
        LATIN1_TABLE[n + 5], LATIN1_TABLE[n + 6], LATIN1_TABLE[n + 7], LATIN1_TABLE[n + 8], LATIN1_TABLE[n + 9],       \
        LATIN1_TABLE[n + 10], LATIN1_TABLE[n + 11], LATIN1_TABLE[n + 12], LATIN1_TABLE[n + 13], LATIN1_TABLE[n + 14],  \
        LATIN1_TABLE[n + 15]
    ROW(0x00), ROW(0x10), ROW(0x20), ROW(0x30), ROW(0x40), ROW(0x50), ROW(0x60), ROW(0x70),
    ROW(0x80), ROW(0x90), ROW(0xA0), ROW(0xB0), ROW(0xC0), ROW(0xD0), ROW(0xE0), ROW(0xF0),
#undef ROW
};

// Above U+00FF Windows answers from its Unicode tables; ICU's binary properties are the closest match:
// White_Space (the Zs, Zl and Zp separators), Alphabetic (letters, letter numbers and the vowel signs of
// scripts that write them as marks), Uppercase and Lowercase (cased letters and letter-like symbols such as
// the circled and Roman-numeral letters, which have case mappings).
bool IsSpaceAboveLatin1(char16_t c) {
    return u_isUWhiteSpace(c);
}
bool IsAlphaAboveLatin1(char16_t c) {
    return u_isUAlphabetic(c);
}
bool IsUpperAboveLatin1(char16_t c) {
    return u_isUUppercase(c);
}
bool IsLowerAboveLatin1(char16_t c) {
    return u_isULowercase(c);
}
// Decimal digits (general category Nd), each with its value 0 to 9: what Windows classes as digits there. Its
// number readers read only some scripts' digits; here the readers and the class agree, so that a board label
// whose first digit is found is also read.
bool IsDigitAboveLatin1(char16_t c) {
    return u_isdigit(c);
}

uint32_t WcsToUL(const char16_t *text, const char16_t **end, int base) {
    size_t read;
    uint32_t value = UnsignedResult(ScanInteger(text, NO_LENGTH, &read, base));
    if (end)
        *end = text + read;
    return value;
}

int32_t WcsToL(const char16_t *text, const char16_t **end, int base) {
    size_t read;
    int32_t value = SignedResult(ScanInteger(text, NO_LENGTH, &read, base));
    if (end)
        *end = text + read;
    return value;
}

int32_t WToI(const char16_t *text) {
    return WcsToL(text, nullptr, 10);
}

uint32_t WcsToUL(std::u16string_view text, size_t *consumed, int base) {
    return UnsignedResult(ScanInteger(text.data(), text.size(), consumed, base));
}

int32_t WToI(std::u16string_view text) {
    return SignedResult(ScanInteger(text.data(), text.size(), nullptr, 10));
}

int WcsICmp(std::u16string_view a, std::u16string_view b) {
    return CompareFoldingAscii(a.data(), a.size(), b.data(), b.size(), SIZE_MAX);
}

int WcsNICmp(std::u16string_view a, std::u16string_view b, size_t count) {
    return CompareFoldingAscii(a.data(), a.size(), b.data(), b.size(), count);
}

int StrICmp(std::string_view a, std::string_view b) {
    return CompareFoldingAscii(a.data(), a.size(), b.data(), b.size(), SIZE_MAX);
}

std::u16string WidenAscii(std::string_view ascii) {
    std::u16string out;
    out.resize(ascii.size());
    for (size_t i = 0; i < ascii.size(); ++i)
        out[i] = char16_t(static_cast<unsigned char>(ascii[i]));
    return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    if (utf8.empty())
        return out;
    // A UTF-8 text never needs more UTF-16 code units than it has bytes.
    out.resize(utf8.size());
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(out.data(), int32_t(out.size()), &length, utf8.data(), int32_t(utf8.size()), 0xFFFD, nullptr,
                         &status);
    if (U_FAILURE(status))
        return std::u16string();
    out.resize(size_t(length));
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    AppendUtf16AsUtf8(out, text);
    return out;
}

} // namespace platform
