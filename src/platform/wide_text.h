#pragma once
// Wide (UTF-16) text helpers that behave the same whatever the process locale is.
// Character classes: an exact table below U+0100, ICU's general categories above.
// Number readers: the results a 32-bit Windows C runtime gives (unsigned long and long are 32 bits there).
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

bool IsSpaceW(char16_t c);  // U+0009..U+000D, U+0020, U+0085, U+00A0; above U+00FF: C1_SPACE
bool IsAlphaW(char16_t c);  // ASCII letters, U+00AA, U+00B5, U+00BA, U+00C0..U+00D6, U+00D8..U+00F6, U+00F8..U+00FF
bool IsAlnumW(char16_t c);
bool IsDigitW(char16_t c);  // '0'..'9' only
bool IsUpperW(char16_t c);
bool IsLowerW(char16_t c);
char16_t ToLowerW(char16_t c);  // one code unit to one code unit; unchanged when there is no simple mapping
char16_t ToUpperW(char16_t c);

// wcstoul / wcstol: leading white space (IsSpaceW), optional sign, base 0/2..36 with "0x" for 16 and 0;
// *end is set past the last digit read, or to the start when nothing was read. Overflow saturates as
// the Windows runtime does (ULONG_MAX / LONG_MAX / LONG_MIN of 32 bits).
uint32_t WcsToUL(const char16_t* text, const char16_t** end, int base);
int32_t WcsToL(const char16_t* text, const char16_t** end, int base);
// _wtoi: decimal, leading white space and sign, stops at the first non-digit, 0 when nothing is read.
int32_t WToI(const char16_t* text);

// Case-insensitive comparisons that fold ASCII letters only (_wcsicmp, _wcsnicmp, _stricmp).
int WcsICmp(std::u16string_view a, std::u16string_view b);
int WcsNICmp(std::u16string_view a, std::u16string_view b, size_t count);
int StrICmp(std::string_view a, std::string_view b);

// Conversions for program-made text (ASCII literals, UTF-8 file names and messages).
std::u16string WidenAscii(std::string_view ascii);
std::u16string Utf8ToUtf16(std::string_view utf8);  // invalid sequences become U+FFFD
std::string Utf16ToUtf8(std::u16string_view text);  // lone surrogates become U+FFFD

}  // namespace platform
