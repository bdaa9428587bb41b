#include "platform/wide_text.h"

#include <gtest/gtest.h>
#include <unicode/uchar.h>

#include <string>

using namespace platform;

namespace {

// Below U+0100 the character classes come from a table of ours, which must give ICU's binary properties
// White_Space, Alphabetic, Uppercase and Lowercase (so U+0085 and U+00A0 are white space, the Latin-1 letters
// are letters, the multiplication and division signs are not). Digits are the ASCII ones only.
TEST(WideTextClasses, Latin1TableMatchesUnicodeProperties) {
    for (int c = 0; c < 0x100; ++c) {
        const char16_t u = char16_t(c);
        EXPECT_EQ(IsSpaceW(u), bool(u_isUWhiteSpace(c))) << std::hex << c;
        EXPECT_EQ(IsAlphaW(u), bool(u_isUAlphabetic(c))) << std::hex << c;
        EXPECT_EQ(IsUpperW(u), bool(u_isUUppercase(c))) << std::hex << c;
        EXPECT_EQ(IsLowerW(u), bool(u_isULowercase(c))) << std::hex << c;
        EXPECT_EQ(IsAlnumW(u), IsAlphaW(u) || (c >= '0' && c <= '9')) << std::hex << c;
    }
}

// Digits: '0'..'9' below U+0100 (the superscripts ¹²³ are none), the decimal digits of every script above. The
// number readers read a digit wherever the class finds one, and give it its value as Unicode has it.
TEST(WideTextClasses, DigitsAreTheDecimalDigitsThatTheNumberReadersRead) {
    for (int c = 0; c <= 0xFFFF; ++c) {
        const char16_t u = char16_t(c);
        const bool decimal = c < 0x100 ? c >= '0' && c <= '9' : u_charType(c) == U_DECIMAL_DIGIT_NUMBER;
        ASSERT_EQ(IsDigitW(u), decimal) << std::hex << c;
        size_t consumed = 99;
        const uint32_t value = WcsToUL(std::u16string_view(&u, 1), &consumed, 10);
        ASSERT_EQ(consumed, decimal ? 1u : 0u) << std::hex << c;
        if (decimal) {
            ASSERT_EQ(value, uint32_t(u_getNumericValue(c))) << std::hex << c;
        }
    }
}

TEST(WideTextNumbers, ReadAsTheWindowsRuntimeDoes) {
    const struct {
        const char16_t *text;
        int base;
        uint32_t unsignedValue;
        int32_t signedValue;
        int consumed; // code units up to *end
    } rows[] = {
        {u"  \t42;", 10, 42, 42, 5},
        {u"\u00a0\u0085\u20037", 10, 7, 7, 4}, // Latin-1 and other spaces are skipped
        {u"+5x", 10, 5, 5, 2},
        {u"-1", 10, 0xFFFFFFFFu, -1, 2},
        {u"  ;", 10, 0, 0, 0},  // nothing read: nothing consumed
        {u" - 5", 10, 0, 0, 0}, // a sign must touch its digits
        {u"4294967296", 10, 0xFFFFFFFFu, INT32_MAX, 10},
        {u"2147483648", 10, 2147483648u, INT32_MAX, 10},
        {u"-2147483649", 10, 2147483647u, INT32_MIN, 11},
        {u"0x41;", 16, 0x41, 0x41, 4},
        {u"0xg", 16, 0, 0, 0}, // a prefix without digits reads nothing
        {u"0X1f", 0, 0x1F, 0x1F, 4},
        {u"09", 0, 0, 0, 1}, // octal stops at 9
        {u"z", 36, 35, 35, 1},
        {u"12", 1, 0, 0, 0},                 // no such base
        {u"\u0661\u0669", 10, 19, 19, 2},    // Arabic-Indic digits
        {u"\uff19\u0e550", 10, 950, 950, 3}, // full-width nine, Thai five, ASCII zero
        {u"\u0be7\u0bef", 10, 19, 19, 2},    // Tamil digits
        {u"\uff14\uff12\uff19\uff14\uff19\uff16\uff17\uff12\uff19\uff16", 10, 0xFFFFFFFFu, INT32_MAX, 10},
        {u"\u00b2", 10, 0, 0, 0}, // a superscript is no digit
        {u"\uff41", 16, 0, 0, 0}, // full-width letter a is no hex digit
    };
    for (const auto &row : rows) {
        const std::u16string text(row.text);
        SCOPED_TRACE(Utf16ToUtf8(text) + " base " + std::to_string(row.base));
        const char16_t *end = nullptr;
        EXPECT_EQ(WcsToUL(text.c_str(), &end, row.base), row.unsignedValue);
        EXPECT_EQ(end - text.c_str(), row.consumed);
        EXPECT_EQ(WcsToL(text.c_str(), &end, row.base), row.signedValue);
        EXPECT_EQ(end - text.c_str(), row.consumed);
        // A view into a longer text stops at the view's end: a digit right after it is not read.
        const std::u16string longer = text + u"9";
        size_t consumed = 99;
        EXPECT_EQ(WcsToUL(std::u16string_view(longer.data(), text.size()), &consumed, row.base), row.unsignedValue);
        EXPECT_EQ(consumed, size_t(row.consumed));
        if (row.base == 10) {
            EXPECT_EQ(WToI(std::u16string_view(longer.data(), text.size())), row.signedValue);
        }
    }
    // No text at all (a view of nothing, a null pointer) reads as an empty text.
    size_t consumed = 99;
    EXPECT_EQ(WcsToUL(std::u16string_view(), &consumed, 0), 0u);
    EXPECT_EQ(consumed, 0u);
    EXPECT_EQ(WToI(std::u16string_view()), 0);
    const char16_t *end = u"x";
    EXPECT_EQ(WcsToL(nullptr, &end, 16), 0);
    EXPECT_EQ(end, nullptr);
    EXPECT_EQ(WToI(static_cast<const char16_t *>(nullptr)), 0);
}

TEST(WideTextCompare, FoldsAsciiLettersOnly) {
    EXPECT_EQ(WcsICmp(u"PBN", u"pbn"), 0);
    EXPECT_NE(WcsICmp(u"\u00c9", u"\u00e9"), 0);
    EXPECT_LT(WcsICmp(u"abc", u"ABCD"), 0);
    EXPECT_LT(WcsICmp(u"_", u"A"), 0);                              // letters fold to lower case before comparing
    EXPECT_EQ(WcsICmp(std::u16string_view(u"ab\0x", 4), u"AB"), 0); // stops at a NUL
    EXPECT_LT(WcsNICmp(u"TEXTfile", u"textGOO", 5), 0);
    EXPECT_EQ(WcsNICmp(u"TEXTfile", u"textFOO", 4), 0);
    EXPECT_GT(StrICmp("\xe9", "a"), 0); // bytes compare unsigned
}

} // namespace
