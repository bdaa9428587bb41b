// The score-table cell readers: a plain cell's text is scanned with ASCII answered from a table and its numbers
// read in one pass; a stretch of the page's cell texts is read through the run tables. Both must give what the
// character classes and the platform's number readers give, for every code unit and for numbers of every shape.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "conversion/cell_text_index.h"
#include "platform/wide_text.h"

namespace {

// Whether a character is in each kind of run (in TextRun's order), as the platform's classes answer it.
std::array<bool, RUN_KINDS> RunsByClasses(char16_t c) {
    size_t consumed = 0;
    const bool zero = platform::WcsToUL(std::u16string_view(&c, 1), &consumed, 10) == 0, digit = consumed == 1;
    return {platform::IsAlphaW(c), platform::IsSpaceW(c), digit, digit && zero, !NeedsQuotes(c)};
}

TEST(CellText, EveryCodeUnitEndsOrContinuesEachRunAsItsClassSays) {
    for (unsigned c = 0; c <= 0xFFFF; ++c) {
        const std::u16string text = {char16_t(c), u'"'}; // a quote is in none of the runs
        IndexedText indexed;
        indexed.m_text = text;
        indexed.Index({RUN_LETTERS, RUN_SPACES, RUN_DIGITS, RUN_ZEROS, RUN_TOKEN}, false);
        const std::array<bool, RUN_KINDS> in = RunsByClasses(char16_t(c));
        for (int kind = 0; kind < RUN_KINDS; ++kind)
            for (const CellText &cell : {CellText(text), CellText(indexed, 0, 2)})
                ASSERT_EQ(cell.RunEnd(TextRun(kind), 0), in[kind] ? 1u : 0u)
                    << std::hex << c << " kind " << kind << (cell.IsIndexed() ? " indexed" : "");
    }
}

// Texts shaped like numbers (blanks, a sign, runs of digits, a tail) from pieces of each kind, or any mix of them.
std::u16string RandomText(std::mt19937 &random) {
    using Pieces = std::vector<std::u16string_view>;
    static const Pieces blanks = {u"", u" ", u"\t\n", u"\u00A0", u"\u3000", u"\u0085"};
    static const Pieces signs = {u"", u"-", u"+", u"--", u"+-"};
    static const Pieces digits = {u"0",          u"00000000000000", u"7",          u"12",          u"2147483647",
                                  u"2147483648", u"4294967295",     u"4294967296", u"99999999999", u"000004294967295",
                                  u"\u0660",     u"\u0665",         u"\uFF10",     u"\uFF17",      u"\u0966\u096F",
                                  u"1\u0E59"};
    static const Pieces others = {u"",    u"\u00B2", u"\u00B3\u00B9", u"\u2070", u"\u2460", u"a", u"Z\u00E9", u"\u00D7",
                                  u"/:.", u"x",      u"\xD800",       u"\xDC00"}; // the last two lone surrogates
    const Pieces *kinds[] = {&blanks, &signs, &digits, &others};
    auto pick = [&](const Pieces &pieces) { return pieces[random() % pieces.size()]; };
    std::u16string text;
    if (random() % 4 == 0) {
        for (int count = static_cast<int>(random() % 7); count > 0; --count)
            text += pick(*kinds[random() % 4]);
        return text;
    }
    text += pick(blanks);
    text += pick(signs);
    for (int count = 1 + static_cast<int>(random() % 3); count > 0; --count)
        text += pick(digits);
    text += pick(others);
    return text;
}

TEST(CellText, NumbersReadInOnePassEqualThePlatformReadersOnPlainTextsAndIndexedStretches) {
    std::mt19937 random(20261207);
    int negative = 0, overflowed = 0, otherScripts = 0;
    for (int round = 0; round < 200000; ++round) {
        const std::u16string text = RandomText(random);
        const size_t from = text.empty() ? 0 : random() % (text.size() + 1);
        const std::u16string_view rest = std::u16string_view(text).substr(from);
        size_t consumed = 0;
        const uint32_t unsignedValue = platform::WcsToUL(rest, &consumed, 10);
        const int32_t signedValue = platform::WToI(rest);
        negative += signedValue < 0;
        overflowed += signedValue == INT32_MAX || signedValue == INT32_MIN;
        otherScripts += consumed > 0 && rest.find_first_of(u"\u0660\u0665\uFF10\uFF17\u0966\u096F") < consumed;

        // A stretch in the middle of a longer text, as a cell's part of the page's texts; the cleaned text has
        // no white space table and scans it.
        IndexedText raw, clean;
        raw.m_text = clean.m_text = u"9" + text + u"9";
        raw.Index({RUN_LETTERS, RUN_SPACES, RUN_DIGITS, RUN_ZEROS}, true);
        clean.Index({RUN_DIGITS, RUN_ZEROS, RUN_TOKEN}, false);
        for (const CellText &cell :
             {CellText(text), CellText(raw, 1, text.size() + 1), CellText(clean, 1, text.size() + 1)}) {
            const CellNumber number = ReadCellNumber(cell, from);
            ASSERT_EQ(number.unsignedValue, unsignedValue) << round;
            ASSERT_EQ(number.signedValue, signedValue) << round;
            ASSERT_EQ(number.consumed, consumed) << round;
        }
    }
    EXPECT_GT(negative, 5000); // the texts do hold negative numbers, numbers past 32 bits and other scripts' digits
    EXPECT_GT(overflowed, 5000);
    EXPECT_GT(otherScripts, 5000);
}

} // namespace
