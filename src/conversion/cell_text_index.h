#pragma once
// The texts of the score-table cells that hold elements, read once for the whole page. A cell's text takes in
// every table nested in it, and those tables read their own cells again: read cell by cell, tables nested a
// thousand deep would read the innermost text a thousand times. Here every text node is read once, in document
// order, into one page-wide text and its cleaned copy; a cell is a stretch of each, and the runs the cell readers
// skip (letters, white space, digits, zeros, the text up to " vs ") end where tables made once say, so that no
// reader walks text it does not write out.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "markup/xml_node.h"
#include "platform/wide_text.h"

// Suit symbols and the page's typographic signs, written as PBN letters.
inline constexpr std::pair<char16_t, char16_t> ScoreTableSymbolMap[] = {
    {u'\u2660', u'S'}, {u'\u2665', u'H'}, {u'\u2666', u'D'}, {u'\u2663', u'C'}, {u'\u2212', u'-'}, {u'\u00D7', u'X'},
};

// A character of a plain cell as its cleaned text holds it: symbols replaced; false when it is dropped (white
// space).
inline bool CleanCellChar(char16_t &c) {
    if (c >= u'\u00D7') { // the symbols all lie above ASCII
        for (const auto &[symbol, letter] : ScoreTableSymbolMap) {
            if (c == symbol) {
                c = letter;
                break;
            }
        }
    }
    return !platform::IsSpaceW(c);
}

// The ASCII characters that a table token cannot hold without quotes: blanks and controls, and [ ] { } ; % ".
inline constexpr auto QUOTED_ASCII = [] {
    std::array<bool, 128> quoted{};
    for (int c = 0; c < 0x21; ++c)
        quoted[c] = true;
    quoted[0x7F] = true;
    for (char c : {'[', ']', '{', '}', ';', '%', '"'})
        quoted[static_cast<unsigned char>(c)] = true;
    return quoted;
}();

// A character that a table token cannot hold without quotes (non-ASCII included).
inline bool NeedsQuotes(char16_t c) {
    return c >= 0x80 || QUOTED_ASCII[c];
}

// The runs the cell readers skip or read: letters (IsAlphaW), white space (IsSpaceW), decimal digits as wcstoul
// reads them, zero digits, and characters a table token holds without quotes.
enum TextRun { RUN_LETTERS, RUN_SPACES, RUN_DIGITS, RUN_ZEROS, RUN_TOKEN, RUN_KINDS };

// The value of a digit above ASCII as wcstoul reads it (any script it knows), or 10 for a character that is none.
unsigned DecimalDigitValueAboveAscii(char16_t c);

// The value of a digit as wcstoul reads it, or 10 and above for a character that is none; ASCII without a call.
inline unsigned DecimalDigitValue(char16_t c) {
    const unsigned ascii = unsigned(c) - u'0';
    return ascii < 10 || c < 0x80 ? ascii : DecimalDigitValueAboveAscii(c);
}

// Which runs each ASCII character belongs to, a bit (1 << TextRun) for each: cells are mostly ASCII, and their
// characters are answered without a call.
inline constexpr auto ASCII_RUNS = [] {
    std::array<uint8_t, 128> runs{};
    for (int c = 0; c < 128; ++c) {
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        const bool space = (c >= 0x09 && c <= 0x0D) || c == ' ';
        const bool digit = c >= '0' && c <= '9';
        runs[c] =
            uint8_t((letter ? 1 << RUN_LETTERS : 0) | (space ? 1 << RUN_SPACES : 0) | (digit ? 1 << RUN_DIGITS : 0) |
                    (c == '0' ? 1 << RUN_ZEROS : 0) | (QUOTED_ASCII[c] ? 0 : 1 << RUN_TOKEN));
    }
    return runs;
}();

// Whether a character above ASCII belongs to a run of that kind (the general tests).
bool InRunAboveAscii(TextRun kind, char16_t c);

inline bool InRun(TextRun kind, char16_t c) {
    return c < 0x80 ? (ASCII_RUNS[c] >> kind & 1) != 0 : InRunAboveAscii(kind, c);
}

// A text with, at each position, where each kind of run starting there ends, and where the next " vs " starts.
class IndexedText {
public:
    std::u16string m_text;

    // Works out the tables of these kinds of run (and of " vs ") once the text is complete. A kind without a table
    // is scanned: only a kind the text cannot hold is asked so (white space in the cleaned text).
    void Index(std::initializer_list<TextRun> kinds, bool withVersus);
    size_t RunEnd(TextRun kind, size_t from) const;
    // The start of the first " vs " at or after `from`, or the text's size.
    size_t VersusAt(size_t from) const { return from < m_text.size() ? m_versus[from] : m_text.size(); }
    void Clear();

private:
    std::vector<uint32_t> m_runEnds[RUN_KINDS];
    std::vector<uint32_t> m_versus;
};

// A cell's stretch of the page-wide texts (a page holds fewer than 2^31 code units).
struct CellStretch {
    uint32_t rawBegin = 0, rawEnd = 0;
    uint32_t cleanBegin = 0, cleanEnd = 0;
};

class CellTextIndex {
public:
    // Reads the page once: every child of a result row ("tsst" or "tsstshade" row of a "tsst" table's body) that
    // holds an element with children gets its stretch. `atoms` are the document's (DocumentAtom order).
    void Build(const std::vector<NKXML::CNode *> &roots, const uint16_t atoms[]);
    bool IsBuilt() const { return m_built; }
    void Clear();
    // The cell's stretch, or null when the cell was not indexed.
    const CellStretch *Find(const NKXML::CNode *cell) const;

    IndexedText m_raw;   // every text node inside an indexed cell, in document order
    IndexedText m_clean; // the same with symbols replaced and white space dropped

private:
    std::unordered_map<const NKXML::CNode *, CellStretch> m_cells;
    bool m_built = false;
};

// Whether the cell's text must come from the index: some element in it has children of its own.
bool HoldsNestedElements(const NKXML::CNode *cell);

// A cell's text as its readers see it: a short text read in place (runs scanned), or a stretch of one of the
// index's texts (runs looked up, so that a reader's cost is what it writes out).
class CellText {
public:
    CellText() = default;
    explicit CellText(std::u16string_view text) : m_view(text) {}
    CellText(const IndexedText &indexed, size_t begin, size_t end)
        : m_view(std::u16string_view(indexed.m_text).substr(begin, end - begin)), m_indexed(&indexed), m_begin(begin) {}

    std::u16string_view View() const { return m_view; }
    size_t Size() const { return m_view.size(); }
    bool IsIndexed() const { return m_indexed != nullptr; }
    // Where the run of that kind that starts at `from` ends, at most at the end of the text.
    size_t RunEnd(TextRun kind, size_t from) const {
        if (m_indexed)
            return IndexedRunEnd(kind, from);
        while (from < m_view.size() && InRun(kind, m_view[from]))
            ++from;
        return from;
    }
    // The start of the first " vs " in the text, or npos.
    size_t FindVersus() const;
    // The text from `from` up to `to`.
    CellText Part(size_t from, size_t to) const;

private:
    size_t IndexedRunEnd(TextRun kind, size_t from) const;

    std::u16string_view m_view;
    const IndexedText *m_indexed = nullptr;
    size_t m_begin = 0; // where the view starts in the indexed text
};

// wcstoul and wcstol in base 10 from `from` (white space, sign, digits), as the platform readers read them.
struct CellNumber {
    uint32_t unsignedValue = 0;
    int32_t signedValue = 0;
    size_t consumed = 0; // 0 when there is no number
};
CellNumber ReadCellNumber(const CellText &text, size_t from);
