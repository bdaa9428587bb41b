#include "conversion/score_table.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "conversion/dsc_doc.h"
#include "conversion/node_reading.h"
#include "markup/tree_walk.h"
#include "platform/wide_text.h"

const ScoreTableColumnInfo ScoreTableColumns[SCORE_TABLE_COLUMN_COUNT] = {
    {u"Section", false}, {u"PairId_NS", true}, {u"PairId_EW", true}, {u"Contract", false}, {u"Declarer", false},
    {u"Lead", false},    {u"Result", true},    {u"Score_NS", true},  {u"Score_EW", true},  {u"MP_NS", true},
    {u"MP_EW", true},    {u"IMP_NS", true},    {u"IMP_EW", true},    {u"Names_NS", false}, {u"Names_EW", false},
};

namespace {

enum CellRule { RULE_PLAIN, RULE_TRICKS, RULE_LEAD, RULE_PAIR_NS, RULE_PAIR_EW, RULE_PAIRS };

struct ScoreTableClass {
    std::u16string_view className;
    int column;
    CellRule rule;
};

// The cell classes of a score table's first row, in search order.
constexpr ScoreTableClass ScoreTableClassMap[] = {
    {u"tsstcontract", STC_CONTRACT, RULE_PLAIN},  {u"tsstdeclarer", STC_DECLARER, RULE_PLAIN},
    {u"tsstmade", STC_RESULT, RULE_TRICKS},       {u"tsstlead", STC_LEAD, RULE_LEAD},
    {u"tsstscorens", STC_SCORE_NS, RULE_PLAIN},   {u"tsstscoreew", STC_SCORE_EW, RULE_PLAIN},
    {u"tsstmpns", STC_MP_NS, RULE_PLAIN},         {u"tsstmpew", STC_MP_EW, RULE_PLAIN},
    {u"tsstimpns", STC_IMP_NS, RULE_PLAIN},       {u"tsstimpew", STC_IMP_EW, RULE_PLAIN},
    {u"tsstpairns", STC_PAIRID_NS, RULE_PAIR_NS}, {u"tsstpairew", STC_PAIRID_EW, RULE_PAIR_EW},
    {u"tsstpairs", STC_PAIRID_NS, RULE_PAIRS},
};
constexpr int CLASS_COUNT = sizeof(ScoreTableClassMap) / sizeof(ScoreTableClassMap[0]);

// Suit symbols and the page's typographic signs, written as PBN letters.
constexpr std::pair<char16_t, char16_t> ScoreTableSymbolMap[] = {
    {u'\u2660', u'S'}, {u'\u2665', u'H'}, {u'\u2666', u'D'}, {u'\u2663', u'C'}, {u'\u2212', u'-'}, {u'\u00D7', u'X'},
};

bool IsElementOfClass(const NKXML::CNode *node, uint16_t tagAtom, uint16_t classAtom, std::u16string_view name) {
    return node->m_nType == NKXML::XML_ELEMENT && node->m_nAtom == tagAtom &&
           tree::ValueEquals(tree::FirstAttributeValue(node, classAtom), name);
}

// The ASCII characters that a table token cannot hold without quotes: blanks and controls, and [ ] { } ; % ".
constexpr auto QUOTED_ASCII = [] {
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

bool NeedsQuotes(std::u16string_view value) {
    for (char16_t c : value) {
        if (NeedsQuotes(c))
            return true;
    }
    return false;
}

// Symbols replaced, then white space dropped, into out[0..); returns the length. *needsQuotes: the result needs
// quotes as a table token.
size_t CleanCellText(std::u16string_view text, char16_t *out, bool *needsQuotes) {
    size_t length = 0;
    bool quotes = false;
    for (char16_t c : text) {
        if (c >= u'\u00D7') { // the symbols all lie above ASCII
            for (const auto &[symbol, letter] : ScoreTableSymbolMap) {
                if (c == symbol) {
                    c = letter;
                    break;
                }
            }
        }
        if (platform::IsSpaceW(c))
            continue;
        out[length++] = c;
        quotes = quotes || NeedsQuotes(c);
    }
    *needsQuotes = quotes;
    return length;
}

void CleanCellText(std::u16string_view text, std::u16string &out) {
    out.resize(text.size());
    bool needsQuotes;
    out.resize(CleanCellText(text, out.data(), &needsQuotes));
}

// Appends the value as one table token: "-" when empty; when it needs quotes, in double quotes with a quote or a
// backslash inside written \" and \\.
void AppendPbnToken(std::u16string &out, std::u16string_view value, bool needsQuotes) {
    if (value.empty()) {
        out += u'-';
    } else if (needsQuotes) {
        out += u'"';
        for (char16_t c : value) {
            if (c == u'"' || c == u'\\')
                out += u'\\';
            // A line break inside a token would end the table's line, and a blank line the whole game, in every
            // reader: control characters go in as blanks, one for one, so the columns keep their widths.
            out += c < u' ' ? u' ' : c;
        }
        out += u'"';
    } else {
        out += value;
    }
}

} // namespace

void ScoreTableRows::Reset(size_t rowCount) {
    m_pool.clear();
    m_cells.assign(rowCount * SCORE_TABLE_COLUMN_COUNT, Span{});
    m_rowCount = rowCount;
}

void ScoreTableRows::Begin(size_t row, int column) {
    m_open = &m_cells[row * SCORE_TABLE_COLUMN_COUNT + column];
    m_open->start = static_cast<uint32_t>(m_pool.size());
}

void ScoreTableRows::End() {
    m_open->length = static_cast<uint32_t>(m_pool.size() - m_open->start);
}

void ScoreTableRows::Set(size_t row, int column, std::u16string_view value) {
    Begin(row, column);
    m_pool += value;
    End();
}

void ScoreTableRows::SetToken(size_t row, int column, std::u16string_view value) {
    Begin(row, column);
    AppendPbnToken(m_pool, value, NeedsQuotes(value));
    End();
}

void ScoreTableRows::SetCleanedToken(size_t row, int column, std::u16string_view text, bool leadTen) {
    m_cleaned.resize(text.size());
    bool needsQuotes;
    size_t length = CleanCellText(text, m_cleaned.data(), &needsQuotes);
    if (leadTen && length == 3 && m_cleaned[1] == u'1' && m_cleaned[2] == u'0') {
        m_cleaned[1] = u'T'; // "10" as PBN writes the ten
        length = 2;
    }
    Begin(row, column);
    AppendPbnToken(m_pool, std::u16string_view(m_cleaned).substr(0, length), needsQuotes);
    End();
}

void ScoreTableRows::SetNumber(size_t row, int column, int64_t number) {
    Begin(row, column);
    platform::AppendDecimal(m_pool, number);
    End();
}

namespace {

// The texts of all text nodes below the node, in document order, appended to `out`.
void AppendNodeText(const NKXML::CNode *node, std::u16string &out) {
    // Most cells hold their text directly: no walk needed.
    const size_t start = out.size();
    bool nested = false;
    for (const NKXML::CNode *child : node->m_children) {
        if (child->m_nType == NKXML::XML_TEXT) {
            if (child->m_pszValue)
                out += child->m_pszValue;
        } else if (!child->m_children.empty()) {
            nested = true;
            break;
        }
    }
    if (!nested)
        return;
    out.resize(start);
    thread_local NKXML::WalkStack stack;
    NKXML::ForEachInSubtree(node, stack, [&](const NKXML::CNode *descendant) {
        if (descendant != node && descendant->m_nType == NKXML::XML_TEXT && descendant->m_pszValue)
            out += descendant->m_pszValue;
    });
}

} // namespace

std::u16string_view GetNodeText(const NKXML::CNode *node, std::u16string &scratch) {
    // A cell with one text child (or none) is read in place.
    const auto &children = node->m_children;
    if (children.empty())
        return {};
    if (children.size() == 1 && children[0]->m_nType == NKXML::XML_TEXT)
        return children[0]->m_pszValue ? std::u16string_view(children[0]->m_pszValue) : std::u16string_view();
    scratch.clear();
    AppendNodeText(node, scratch);
    return scratch;
}

std::u16string QuotePbnToken(std::u16string_view value) {
    std::u16string token;
    AppendPbnToken(token, value, NeedsQuotes(value));
    return token;
}

void ParsePairCell(std::u16string_view text, ScoreTableRows &rows, size_t row, int side) {
    size_t run = 0;
    while (run < text.size() && platform::IsAlphaW(text[run]))
        ++run;
    if (rows.IsEmpty(row, STC_SECTION))
        rows.Set(row, STC_SECTION, text.substr(0, run));
    std::u16string_view rest = text.substr(run);
    size_t consumed = 0;
    uint32_t number = platform::WcsToUL(rest, &consumed, 10);
    rows.SetNumber(row, STC_PAIRID_NS + side, number);
    rest = rest.substr(consumed);
    if (!rest.empty() && rest.front() == u'-')
        rest.remove_prefix(1);
    rows.SetToken(row, STC_NAMES_NS + side, rest);
}

const NKXML::CNode *CDSCDoc::FollowingScoreTable(const NKXML::CNode *board, size_t index) const {
    const NKXML::CNode *parent = board->m_pParent;
    if (!parent)
        return nullptr;
    const auto &siblings = parent->m_children;
    size_t count = siblings.size();
    size_t i = index;
    for (++i; i < count; ++i) {
        const NKXML::CNode *sibling = siblings[i];
        if (sibling->m_nType != NKXML::XML_ELEMENT)
            continue; // text and comments between the board and its table
        return IsElementOfClass(sibling, m_atoms[ATOM_TABLE], m_atoms[ATOM_CLASS], u"tsst") ? sibling : nullptr;
    }
    return nullptr;
}

namespace {

// Which column each kind of cell fills; a pair cell fills the section and names too.
using ColumnsPresent = std::array<bool, SCORE_TABLE_COLUMN_COUNT>;

// Result rows: "tsstshade" and "tsst" rows of the table's bodies, in order.
void CollectResultRows(const NKXML::CNode *table, const uint16_t atoms[],
                       std::vector<const NKXML::CNode *> &resultRows) {
    resultRows.clear();
    for (const NKXML::CNode *body : table->m_children) {
        if (body->m_nType != NKXML::XML_ELEMENT || body->m_nAtom != atoms[ATOM_TBODY])
            continue;
        for (const NKXML::CNode *row : body->m_children) {
            if (row->m_nType != NKXML::XML_ELEMENT || row->m_nAtom != atoms[ATOM_TR])
                continue;
            const char16_t *rowClass = tree::FirstAttributeValue(row, atoms[ATOM_CLASS]);
            if (tree::ValueEquals(rowClass, u"tsstshade") || tree::ValueEquals(rowClass, u"tsst"))
                resultRows.push_back(row);
        }
    }
}

// The first row's cells, by position (every child counts, text included), give each position its rule:
// entryAt[position] is the class map's entry, or -1.
void MapCellPositions(const NKXML::CNode *firstRow, const uint16_t atoms[], std::vector<int> &entryAt,
                      ColumnsPresent &present) {
    const size_t patternSize = firstRow->m_children.size();
    entryAt.assign(patternSize, -1);
    for (size_t position = 0; position < patternSize; ++position) {
        const NKXML::CNode *cell = firstRow->m_children[position];
        if (cell->m_nType != NKXML::XML_ELEMENT || cell->m_nAtom != atoms[ATOM_TD])
            continue;
        const char16_t *cellClass = tree::FirstAttributeValue(cell, atoms[ATOM_CLASS]);
        for (int entry = 0; entry < CLASS_COUNT; ++entry) {
            if (!tree::ValueEquals(cellClass, ScoreTableClassMap[entry].className))
                continue;
            entryAt[position] = entry;
            present[ScoreTableClassMap[entry].column] = true;
            switch (ScoreTableClassMap[entry].rule) {
            case RULE_PAIR_NS:
                present[STC_SECTION] = present[STC_NAMES_NS] = true;
                break;
            case RULE_PAIR_EW:
                present[STC_SECTION] = present[STC_NAMES_EW] = true;
                break;
            case RULE_PAIRS:
                present[STC_SECTION] = present[STC_PAIRID_NS] = present[STC_PAIRID_EW] = true;
                present[STC_NAMES_NS] = present[STC_NAMES_EW] = true;
                break;
            default:
                break;
            }
            break;
        }
    }
}

// The trick count of a result cell: made tricks above six, or down from the contract's level when the row
// already holds it. A count that cannot be worked out leaves the column as it is (empty, or what an earlier
// result cell of the row put there).
void SetTricks(std::u16string_view raw, std::u16string &cleaned, ScoreTableRows &rows, size_t r) {
    CleanCellText(raw, cleaned);
    int64_t made = platform::WToI(cleaned);
    if (made == 0) {
        rows.Set(r, STC_RESULT, u"0");
        return;
    }
    int64_t tricks;
    if (made > 0) {
        tricks = made + 6;
    } else {
        int64_t level = platform::WToI(rows.Get(r, STC_CONTRACT));
        if (level < 1)
            return;
        tricks = made + level + 6;
    }
    if (tricks != 255)
        rows.SetNumber(r, STC_RESULT, static_cast<int32_t>(static_cast<uint32_t>(tricks)));
}

// One cell's text into the row's columns, by the rule of its position.
void ReadCell(const ScoreTableClass &info, std::u16string_view raw, std::u16string &cleaned, ScoreTableRows &rows,
              size_t r) {
    switch (info.rule) {
    case RULE_PLAIN:
        rows.SetCleanedToken(r, info.column, raw, false);
        break;
    case RULE_TRICKS:
        SetTricks(raw, cleaned, rows, r);
        break;
    case RULE_LEAD:
        rows.SetCleanedToken(r, STC_LEAD, raw, true);
        break;
    case RULE_PAIR_NS:
        ParsePairCell(raw, rows, r, 0);
        break;
    case RULE_PAIR_EW:
        ParsePairCell(raw, rows, r, 1);
        break;
    case RULE_PAIRS: {
        size_t versus = raw.find(u" vs ");
        if (versus == std::u16string_view::npos)
            break;
        ParsePairCell(raw.substr(0, versus), rows, r, 0);
        ParsePairCell(raw.substr(versus + 4), rows, r, 1);
        break;
    }
    }
}

// The tag value: the present columns' names with their widths ("\\3R") where a value is two or more wide.
void AppendColumnNames(std::u16string &value, const ColumnsPresent &present, const size_t widths[]) {
    for (int column = 0; column < SCORE_TABLE_COLUMN_COUNT; ++column) {
        if (!present[column])
            continue;
        if (!value.empty())
            value += u';';
        value += ScoreTableColumns[column].name;
        if (widths[column] >= 2) {
            value += u'\\';
            platform::AppendDecimal(value, static_cast<int64_t>(widths[column]));
            if (ScoreTableColumns[column].rightJustified)
                value += u'R';
        }
    }
}

// Every line fits in the widths of its columns with their separators (the last column's value is no wider than
// its width either): the rows are written in place and the text cut to what was written.
void AppendRowLines(std::u16string &rowsText, const ScoreTableRows &rows, const ColumnsPresent &present,
                    const size_t widths[]) {
    int columnsShown[SCORE_TABLE_COLUMN_COUNT];
    int shownCount = 0;
    int lastPresent = -1;
    size_t lineLength = 2;
    for (int column = 0; column < SCORE_TABLE_COLUMN_COUNT; ++column) {
        if (present[column]) {
            columnsShown[shownCount++] = column;
            lineLength += std::max<size_t>(widths[column], 1) + 1;
            lastPresent = column;
        }
    }
    const size_t start = rowsText.size();
    rowsText.resize(start + rows.RowCount() * lineLength);
    char16_t *out = rowsText.data() + start;
    for (size_t r = 0; r < rows.RowCount(); ++r) {
        for (int shown = 0; shown < shownCount; ++shown) {
            const int column = columnsShown[shown];
            std::u16string_view cell = rows.IsEmpty(r, column) ? std::u16string_view(u"-") : rows.Get(r, column);
            if (shown > 0)
                *out++ = u' ';
            size_t padding = column == lastPresent || cell.size() >= widths[column] ? 0 : widths[column] - cell.size();
            const bool right = ScoreTableColumns[column].rightJustified;
            if (right)
                out = std::fill_n(out, padding, u' ');
            out = std::copy(cell.begin(), cell.end(), out);
            if (!right)
                out = std::fill_n(out, padding, u' ');
        }
        *out++ = u'\r';
        *out++ = u'\n';
    }
    rowsText.resize(static_cast<size_t>(out - rowsText.data()));
}

} // namespace

void CDSCDoc::ParseScoreTable(const NKXML::CNode *table, std::u16string &value, std::u16string &rowsText) {
    std::vector<const NKXML::CNode *> &resultRows = m_scoreTable.resultRows;
    CollectResultRows(table, m_atoms, resultRows);
    if (resultRows.empty())
        return;

    std::vector<int> &entryAt = m_scoreTable.entryAt;
    ColumnsPresent present{};
    MapCellPositions(resultRows.front(), m_atoms, entryAt, present);
    if (present[STC_MP_NS] || present[STC_MP_EW])
        m_nScoringKinds |= SCORING_MATCHPOINTS;
    if (present[STC_IMP_NS] || present[STC_IMP_EW])
        m_nScoringKinds |= SCORING_IMPS;

    // Each result row's cells, as far as the first row's pattern reaches.
    ScoreTableRows &rows = m_scoreTable.rows;
    rows.Reset(resultRows.size());
    for (size_t r = 0; r < resultRows.size(); ++r) {
        const NKXML::CNode *source = resultRows[r];
        const size_t limit = std::min(entryAt.size(), static_cast<size_t>(source->m_children.size()));
        for (size_t position = 0; position < limit; ++position) {
            if (entryAt[position] >= 0)
                ReadCell(ScoreTableClassMap[entryAt[position]],
                         GetNodeText(source->m_children[position], m_scoreTable.raw), m_scoreTable.cleaned, rows, r);
        }
    }

    size_t widths[SCORE_TABLE_COLUMN_COUNT] = {};
    for (int column = 0; column < SCORE_TABLE_COLUMN_COUNT; ++column)
        for (size_t r = 0; r < rows.RowCount(); ++r)
            widths[column] = std::max(widths[column], rows.Get(r, column).size());
    AppendColumnNames(value, present, widths);
    AppendRowLines(rowsText, rows, present, widths);
}
