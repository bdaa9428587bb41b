#include "platform/wide_text.h"

#include <gtest/gtest.h>
#include <unicode/uchar.h>

#include <string>

using namespace platform;

namespace {

// The character classes are ICU's binary properties White_Space, Alphabetic, Uppercase and Lowercase: below
// U+0100 from a table of ours (so U+0085 and U+00A0 are white space, the Latin-1 letters are letters, the
// multiplication and division signs are not), above it from ICU. Digits are the ASCII ones only.
TEST(WideTextClasses, MatchUnicodePropertiesThroughTheWholePlane) {
    for (int c = 0; c < 0x10000; ++c) {
        const char16_t u = char16_t(c);
        ASSERT_EQ(IsSpaceW(u), bool(u_isUWhiteSpace(c))) << std::hex << c;
        ASSERT_EQ(IsAlphaW(u), bool(u_isUAlphabetic(c))) << std::hex << c;
        ASSERT_EQ(IsUpperW(u), bool(u_isUUppercase(c))) << std::hex << c;
        ASSERT_EQ(IsLowerW(u), bool(u_isULowercase(c))) << std::hex << c;
        ASSERT_EQ(IsDigitW(u), c >= '0' && c <= '9') << std::hex << c;
        ASSERT_EQ(IsAlnumW(u), IsAlphaW(u) || IsDigitW(u)) << std::hex << c;
    }
}

TEST(WideTextCase, FoldsAsciiOnlyAsTheDefaultLocaleDoes) {
    for (int c = 0; c < 0x10000; ++c) {
        char16_t u = char16_t(c);
        char16_t lower = (c >= 'A' && c <= 'Z') ? char16_t(c + 32) : u;
        char16_t upper = (c >= 'a' && c <= 'z') ? char16_t(c - 32) : u;
        ASSERT_EQ(ToLowerW(u), lower) << std::hex << c;
        ASSERT_EQ(ToUpperW(u), upper) << std::hex << c;
    }
}

struct NumberCase {
    const char16_t *text;
    int base;
    uint32_t unsignedValue;
    int32_t signedValue;
    int consumed; // code units up to *end
};

TEST(WideTextNumbers, WindowsResults) {
    const NumberCase cases[] = {
        {u"123", 10, 123, 123, 3},
        {u"  \t42;", 10, 42, 42, 5},
        {u"\u00a0\u0085"
         u"7",
         10, 7, 7, 3}, // the Latin-1 spaces are skipped too
        {u"\u2003"
         u"7",
         10, 7, 7, 2},
        {u"+5x", 10, 5, 5, 2},
        {u"-1", 10, 0xFFFFFFFFu, -1, 2},
        {u"", 10, 0, 0, 0},
        {u"  ;", 10, 0, 0, 0},  // nothing read: nothing consumed
        {u" - 5", 10, 0, 0, 0}, // a sign must touch its digits
        {u"4294967295", 10, 0xFFFFFFFFu, INT32_MAX, 10},
        {u"4294967296", 10, 0xFFFFFFFFu, INT32_MAX, 10},
        {u"99999999999999999999z", 10, 0xFFFFFFFFu, INT32_MAX, 20},
        {u"2147483647", 10, 2147483647u, INT32_MAX, 10},
        {u"2147483648", 10, 2147483648u, INT32_MAX, 10},
        {u"-2147483648", 10, 2147483648u, INT32_MIN, 11},
        {u"-2147483649", 10, 2147483647u, INT32_MIN, 11},
        {u"-4294967296", 10, 0xFFFFFFFFu, INT32_MIN, 11},
        {u"41", 16, 0x41, 0x41, 2},
        {u"0x41;", 16, 0x41, 0x41, 4},
        {u"0X1f", 16, 0x1F, 0x1F, 4},
        {u"0xg", 16, 0, 0, 0}, // a prefix without digits reads nothing
        {u"ffffffff", 16, 0xFFFFFFFFu, INT32_MAX, 8},
        {u"0x10", 0, 16, 16, 4},
        {u"010", 0, 8, 8, 3},
        {u"09", 0, 0, 0, 1}, // octal stops at 9
        {u"0", 0, 0, 0, 1},
        {u"12", 0, 12, 12, 2},
        {u"z", 36, 35, 35, 1},
        {u"12", 1, 0, 0, 0}, // no such base
        {u"12", 37, 0, 0, 0},
        {u"\u0661\u0662", 10, 12, 12, 2}, // Arabic-Indic digits
        {u"\uff13\uff14", 10, 34, 34, 2}, // full-width digits
        {u"\u0e55"
         u"0",
         10, 50, 50, 2},          // Thai five, ASCII zero
        {u"\uff41", 16, 0, 0, 0}, // full-width letter a is no hex digit
    };
    for (const NumberCase &c : cases) {
        std::u16string text(c.text);
        const char16_t *end = nullptr;
        EXPECT_EQ(WcsToUL(text.c_str(), &end, c.base), c.unsignedValue) << Utf16ToUtf8(text) << " base " << c.base;
        EXPECT_EQ(end - text.c_str(), c.consumed) << Utf16ToUtf8(text);
        end = nullptr;
        EXPECT_EQ(WcsToL(text.c_str(), &end, c.base), c.signedValue) << Utf16ToUtf8(text) << " base " << c.base;
        EXPECT_EQ(end - text.c_str(), c.consumed) << Utf16ToUtf8(text);
        // A view into a longer text stops at the view's end: a digit right after it is not read.
        std::u16string longer = text + u"9";
        std::u16string_view view(longer.data(), text.size());
        size_t consumed = 99;
        EXPECT_EQ(WcsToUL(view, &consumed, c.base), c.unsignedValue) << Utf16ToUtf8(text) << " as a view";
        EXPECT_EQ(consumed, size_t(c.consumed)) << Utf16ToUtf8(text) << " as a view";
        if (c.base == 10) {
            EXPECT_EQ(WToI(text.c_str()), c.signedValue) << Utf16ToUtf8(text);
            EXPECT_EQ(WToI(view), c.signedValue) << Utf16ToUtf8(text) << " as a view";
        }
    }
    EXPECT_EQ(WcsToUL(u"12", nullptr, 10), 12u);
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
    EXPECT_GT(WcsICmp(u"abd", u"ABC"), 0);
    EXPECT_LT(WcsICmp(u"_", u"A"), 0); // letters fold to lower case before comparing
    EXPECT_GT(WcsICmp(u"\u0100", u"z"), 0);
    EXPECT_EQ(WcsICmp(std::u16string_view(u"ab\0x", 4), u"AB"), 0); // stops at a NUL
    EXPECT_EQ(WcsNICmp(u"TEXTfile", u"textFOO", 4), 0);
    EXPECT_LT(WcsNICmp(u"TEXTfile", u"textGOO", 5), 0);
    EXPECT_EQ(WcsNICmp(u"a", u"b", 0), 0);
    EXPECT_EQ(StrICmp("Settings", "SETTINGS"), 0);
    EXPECT_GT(StrICmp("\xe9", "a"), 0); // bytes compare unsigned
}

TEST(WideTextConvert, Utf8RoundTripAndReplacement) {
    std::u16string text = u"Board 1 \u2660AKQ \U0001F0A1";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf16ToUtf8(u"\u00e9"), "\xc3\xa9");
    EXPECT_EQ(Utf8ToUtf16("a\xff"
                          "b"),
              u"a\ufffdb");
    EXPECT_EQ(Utf8ToUtf16("\xe2\x99"), u"\ufffd");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xef\xbf\xbdx");
    EXPECT_EQ(Utf8ToUtf16(""), u"");
    EXPECT_EQ(WidenAscii("pbn"), u"pbn");
}

} // namespace
