#pragma once
// Wide (UTF-16) text helpers that behave the same whatever the process locale is.
// Character classes: an exact table below U+0100, ICU's character properties above (white space, alphabetic,
// upper case, lower case, decimal digit), standing in for what Windows reports for those code points.
// Case mappings: those of the C runtime in its default "C" locale, which change ASCII letters only.
// Number readers: the results a 32-bit Windows C runtime gives (unsigned long and long are 32 bits there).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Class bits of the table below U+0100.
enum : uint8_t {
    WCLASS_SPACE = 0x01,
    WCLASS_ALPHA = 0x02,
    WCLASS_UPPER = 0x04,
    WCLASS_LOWER = 0x08,
    WCLASS_DIGIT = 0x10,
};
extern const uint8_t LATIN1_CLASSES[256];

// Above U+00FF (out of line: they ask ICU).
bool IsSpaceAboveLatin1(char16_t c);
bool IsAlphaAboveLatin1(char16_t c);
bool IsUpperAboveLatin1(char16_t c);
bool IsLowerAboveLatin1(char16_t c);
bool IsDigitAboveLatin1(char16_t c);

// U+0009..U+000D, U+0020, U+0085, U+00A0; above U+00FF: white space.
inline bool IsSpaceW(char16_t c) {
    return c < 0x100 ? (LATIN1_CLASSES[c] & WCLASS_SPACE) != 0 : IsSpaceAboveLatin1(c);
}
// ASCII letters, U+00AA, U+00B5, U+00BA, U+00C0..U+00D6, U+00D8..U+00F6, U+00F8..U+00FF; above: alphabetic.
inline bool IsAlphaW(char16_t c) {
    return c < 0x100 ? (LATIN1_CLASSES[c] & WCLASS_ALPHA) != 0 : IsAlphaAboveLatin1(c);
}
// Decimal digits: below U+0100 '0'..'9' only (not the superscripts U+00B2, U+00B3, U+00B9, which no number reader
// reads); above U+00FF the decimal digits of every script. The number readers below read exactly these digits.
inline bool IsDigitW(char16_t c) {
    return c < 0x100 ? (LATIN1_CLASSES[c] & WCLASS_DIGIT) != 0 : IsDigitAboveLatin1(c);
}
inline bool IsAlnumW(char16_t c) {
    return IsDigitW(c) || IsAlphaW(c);
}
// Below U+0100: A-Z, U+00C0..U+00D6, U+00D8..U+00DE.
inline bool IsUpperW(char16_t c) {
    return c < 0x100 ? (LATIN1_CLASSES[c] & WCLASS_UPPER) != 0 : IsUpperAboveLatin1(c);
}
// Below U+0100: a-z, U+00AA, U+00B5, U+00BA, U+00DF..U+00F6, U+00F8..U+00FF.
inline bool IsLowerW(char16_t c) {
    return c < 0x100 ? (LATIN1_CLASSES[c] & WCLASS_LOWER) != 0 : IsLowerAboveLatin1(c);
}
// towlower / towupper in the "C" locale: 'A'..'Z' <-> 'a'..'z', every other code unit unchanged.
inline char16_t ToLowerW(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 0x20) : c;
}
inline char16_t ToUpperW(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - 0x20) : c;
}

// wcstoul / wcstol: leading white space (IsSpaceW), optional sign, base 0/2..36 with "0x" for 16 and 0;
// *end is set past the last digit read, or to the start when nothing was read. Overflow saturates as
// the Windows runtime does (ULONG_MAX / LONG_MAX / LONG_MIN of 32 bits). A minus sign negates the unsigned
// result modulo 2^32 ("-1" gives 0xFFFFFFFF). Decimal digits are those of IsDigitW (ASCII, Arabic-Indic,
// Devanagari, Thai, full-width, ...), so a number is read wherever IsDigitW finds its first digit; letters count
// only as ASCII letters, in bases above 10.
// text ends at its NUL; a null text reads as an empty one.
uint32_t WcsToUL(const char16_t *text, const char16_t **end, int base);
int32_t WcsToL(const char16_t *text, const char16_t **end, int base);
// _wtoi: decimal, leading white space and sign, stops at the first non-digit, 0 when nothing is read;
// saturates at the 32-bit limits.
int32_t WToI(const char16_t *text);
// The same readers over a view that need not end in a NUL: the view's end stops them as a NUL would.
// *consumed is the count of code units read (0 when no number was there). An empty view (null data too) reads
// nothing.
uint32_t WcsToUL(std::u16string_view text, size_t *consumed, int base);
int32_t WToI(std::u16string_view text);

// A decimal or other number as the readers above scanned it: its magnitude (0xFFFFFFFF once it overflowed),
// whether a minus sign led it, and whether it overflowed 32 bits. What wcstoul and wcstol (and _wtoi) give for it:
inline uint32_t UnsignedReading(uint32_t magnitude, bool negative, bool overflow) {
    if (overflow)
        return 0xFFFFFFFFu;
    return negative ? uint32_t(0u - magnitude) : magnitude;
}
inline int32_t SignedReading(uint32_t magnitude, bool negative, bool overflow) {
    if (negative)
        return overflow || magnitude > 0x80000000u ? INT32_MIN : int32_t(0u - magnitude);
    return overflow || magnitude > 0x7FFFFFFFu ? INT32_MAX : int32_t(magnitude);
}

// Case-insensitive comparisons that fold ASCII letters only (_wcsicmp, _wcsnicmp, _stricmp). The end of a view
// counts as a NUL, and comparing stops at a NUL as the C functions do. Result <0, 0 or >0.
int WcsICmp(std::u16string_view a, std::u16string_view b);
int WcsNICmp(std::u16string_view a, std::u16string_view b, size_t count);
int StrICmp(std::string_view a, std::string_view b);

// Appends a decimal integer ("%d", "%lld") to UTF-16 text without a temporary string.
inline void AppendDecimal(std::u16string &out, int64_t value) {
    char16_t digits[20];
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    int count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0)
        out += u'-';
    while (count)
        out += digits[--count];
}

// Conversions for program-made text (ASCII literals, UTF-8 file names and messages).
std::u16string WidenAscii(std::string_view ascii);
std::u16string Utf8ToUtf16(std::string_view utf8); // invalid sequences become U+FFFD
std::string Utf16ToUtf8(std::u16string_view text); // lone surrogates become U+FFFD

} // namespace platform
