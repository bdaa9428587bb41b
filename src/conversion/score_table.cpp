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

bool IsElementOfClass(const NKXML::CNode *node, uint16_t tagAtom, uint16_t classAtom, std::u16string_view name) {
    return node->m_nType == NKXML::XML_ELEMENT && node->m_nAtom == tagAtom &&
           tree::ValueEquals(tree::FirstAttributeValue(node, classAtom), name);
}

bool NeedsQuotes(std::u16string_view value) {
    for (char16_t c : value) {
        if (::NeedsQuotes(c))
            return true;
    }
    return false;
}

// A cell's text with symbols replaced and white space dropped, written at the start of a buffer that keeps its
// size from cell to cell (nothing is allocated or filled again per cell), with whether it needs quotes as a token.
class CleanedText {
public:
    explicit CleanedText(std::u16string &buffer) : m_buffer(buffer) {}
    void Add(char16_t c) {
        if (!CleanCellChar(c))
            return;
        if (m_length == m_buffer.size())
            m_buffer.resize(std::max<size_t>(64, 2 * m_buffer.size()));
        m_buffer[m_length++] = c;
        m_quoted = m_quoted || ::NeedsQuotes(c);
    }
    std::u16string_view View() const { return std::u16string_view(m_buffer.data(), m_length); }
    bool Quoted() const { return m_quoted; }

private:
    std::u16string &m_buffer;
    size_t m_length = 0;
    bool m_quoted = false;
};

// Appends the value as one table token: "-" when empty; when it needs quotes, in double quotes with a quote or a
// backslash inside written \" and \\.
void AppendPbnToken(std::u16string &out, std::u16string_view value, bool needsQuotes) {
    if (value.empty()) {
        out += u'-';
    } else if (needsQuotes) {
        // Written in place: the quotes, and each character escaped at most once.
        const size_t start = out.size();
        out.resize(start + 2 + 2 * value.size());
        char16_t *end = out.data() + start;
        *end++ = u'"';
        for (char16_t c : value) {
            if (c == u'"' || c == u'\\')
                *end++ = u'\\';
            // A line break inside a token would end the table's line, and a blank line the whole game, in every
            // reader: control characters go in as blanks, one for one, so the columns keep their widths.
            *end++ = c < u' ' ? u' ' : c;
        }
        *end++ = u'"';
        out.resize(static_cast<size_t>(end - out.data()));
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

void ScoreTableRows::MeasureColumns(size_t widths[]) const {
    // Row by row, in the order the cells are kept.
    const Span *cell = m_cells.data();
    for (size_t r = 0; r < m_rowCount; ++r) {
        for (int column = 0; column < SCORE_TABLE_COLUMN_COUNT; ++column, ++cell)
            widths[column] = std::max<size_t>(widths[column], cell->length);
    }
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

void ScoreTableRows::SetCleanedToken(size_t row, int column, std::u16string_view cleaned, bool leadTen,
                                     bool needsQuotes) {
    const char16_t ten[2] = {cleaned.empty() ? u'\0' : cleaned[0], u'T'}; // "10" as PBN writes the ten
    if (leadTen && cleaned.size() == 3 && cleaned[1] == u'1' && cleaned[2] == u'0')
        cleaned = std::u16string_view(ten, 2);
    Begin(row, column);
    AppendPbnToken(m_pool, cleaned, needsQuotes);
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

void ParsePairCell(const CellText &text, ScoreTableRows &rows, size_t row, int side, bool namesKept) {
    const size_t run = text.RunEnd(RUN_LETTERS, 0);
    if (rows.IsEmpty(row, STC_SECTION))
        rows.Set(row, STC_SECTION, text.View().substr(0, run));
    const CellNumber number = ReadCellNumber(text, run);
    rows.SetNumber(row, STC_PAIRID_NS + side, number.unsignedValue);
    if (!namesKept)
        return;
    std::u16string_view rest = text.View().substr(run + number.consumed);
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

// Asks for the memory from one node up to another ahead of reading it. The parser lays nodes out one after another
// in document order, so a result row's nodes fill the stretch up to the next row: fetched together while the row
// before is read, they are not waited for one by one as the reading reaches each. A stretch longer than a row of
// plain cells is left to be fetched as it is read.
void PrefetchStretch(const NKXML::CNode *from, const NKXML::CNode *to) {
    constexpr std::ptrdiff_t LINE = 64;
    constexpr std::ptrdiff_t LONGEST = 8192;
    const auto *begin = reinterpret_cast<const char *>(from);
    const auto *end = reinterpret_cast<const char *>(to);
    if (end <= begin || end - begin > LONGEST)
        return;
    for (const char *line = begin; line < end; line += LINE)
        __builtin_prefetch(line);
}

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
void SetTricks(const CellText &cleaned, ScoreTableRows &rows, size_t r) {
    int64_t made = ReadCellNumber(cleaned, 0).signedValue;
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

// Values of a row that a later cell of the same row writes again, and so are never written out.
enum : uint8_t { REPLACED_NAMES_NS = 1, REPLACED_NAMES_EW = 2, REPLACED_VALUE = 4 };

// Right to left: which values of the cells before `limit` a later cell of the row writes again, each cell marked
// only with what its rule makes. `writesBothNames(position)`: whether the "vs" cell there writes both names. True
// when any is replaced.
template <typename WritesBothNames>
bool MarkReplaced(const std::vector<int> &entryAt, size_t limit, std::vector<uint8_t> &replaced,
                  WritesBothNames writesBothNames) {
    replaced.assign(limit, 0);
    bool columnWritten[SCORE_TABLE_COLUMN_COUNT] = {};
    bool namesWritten[2] = {};
    bool any = false;
    for (size_t position = limit; position-- > 0;) {
        if (entryAt[position] < 0)
            continue;
        const ScoreTableClass &info = ScoreTableClassMap[entryAt[position]];
        switch (info.rule) {
        case RULE_PLAIN:
        case RULE_LEAD:
            replaced[position] = columnWritten[info.column] ? REPLACED_VALUE : 0;
            columnWritten[info.column] = true;
            break;
        case RULE_PAIR_NS:
        case RULE_PAIR_EW: {
            const int side = info.rule == RULE_PAIR_EW;
            replaced[position] = namesWritten[side] ? (side ? REPLACED_NAMES_EW : REPLACED_NAMES_NS) : 0;
            namesWritten[side] = true;
            break;
        }
        case RULE_PAIRS:
            replaced[position] = (namesWritten[0] ? REPLACED_NAMES_NS : 0) | (namesWritten[1] ? REPLACED_NAMES_EW : 0);
            if (writesBothNames(position))
                namesWritten[0] = namesWritten[1] = true;
            break;
        case RULE_TRICKS:
            break;
        }
        any = any || replaced[position] != 0;
    }
    return any;
}

// A cell's text, and its cleaned text where a rule reads it, with whether that needs quotes as a token. A plain
// cell whose rule reads only the cleaned text gets no raw text.
struct CellTexts {
    CellText raw;
    CellText cleaned;
    bool cleanedQuoted = false;
};

// Cleans the text from `c` up to `end` (up to its NUL when `end` is null, so a text of the page is read once) into
// the buffer, as the cell's cleaned text.
void SetCleaned(CellTexts &text, std::u16string &buffer, const char16_t *c, const char16_t *end) {
    CleanedText cleaned(buffer);
    for (; c && (end ? c != end : *c != 0); ++c)
        cleaned.Add(*c);
    text.cleaned = CellText(cleaned.View());
    text.cleanedQuoted = cleaned.Quoted();
}

// One cell's text into the row's columns, by the rule of its position. A value that a later cell replaces is not
// made, except for what a result cell in between reads of it: a contract's leading number.
void ReadCell(const ScoreTableClass &info, const CellTexts &text, uint8_t replaced, ScoreTableRows &rows, size_t r) {
    switch (info.rule) {
    case RULE_PLAIN:
    case RULE_LEAD:
        if (!(replaced & REPLACED_VALUE)) {
            rows.SetCleanedToken(r, info.column, text.cleaned.View(), info.rule == RULE_LEAD, text.cleanedQuoted);
        } else if (info.column == STC_CONTRACT) {
            // A value that needs quotes starts with one, and reads as no number.
            rows.SetNumber(r, STC_CONTRACT, text.cleanedQuoted ? 0 : ReadCellNumber(text.cleaned, 0).signedValue);
        }
        break;
    case RULE_TRICKS:
        SetTricks(text.cleaned, rows, r);
        break;
    case RULE_PAIR_NS:
        ParsePairCell(text.raw, rows, r, 0, !(replaced & REPLACED_NAMES_NS));
        break;
    case RULE_PAIR_EW:
        ParsePairCell(text.raw, rows, r, 1, !(replaced & REPLACED_NAMES_EW));
        break;
    case RULE_PAIRS: {
        const size_t versus = text.raw.FindVersus();
        if (versus == std::u16string_view::npos)
            break;
        ParsePairCell(text.raw.Part(0, versus), rows, r, 0, !(replaced & REPLACED_NAMES_NS));
        ParsePairCell(text.raw.Part(versus + 4, text.raw.Size()), rows, r, 1, !(replaced & REPLACED_NAMES_EW));
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

    // A cell that holds elements is read from the page's cell texts, made the first time one is needed: tables
    // nested in cells would otherwise read the text of every table inside them again.
    auto cellText = [this](const NKXML::CNode *cell, bool needsCleaned) {
        CellTexts text;
        const auto &children = cell->m_children;
        if (children.empty() || (children.size() == 1 && children[0]->m_nType == NKXML::XML_TEXT)) {
            // Most cells hold one text or nothing: read in place, and where only the cleaned text is read, read
            // once while it is cleaned.
            const char16_t *only = children.empty() ? nullptr : children[0]->m_pszValue;
            if (needsCleaned) {
                SetCleaned(text, m_scoreTable.cleaned, only, nullptr);
                return text;
            }
            text.raw = CellText(only ? std::u16string_view(only) : std::u16string_view());
        } else {
            CellTextIndex &index = m_scoreTable.index;
            if (HoldsNestedElements(cell)) {
                if (!index.IsBuilt())
                    index.Build(m_parser.m_roots, m_atoms);
                if (const CellStretch *stretch = index.Find(cell)) {
                    text.raw = CellText(index.m_raw, stretch->rawBegin, stretch->rawEnd);
                    text.cleaned = CellText(index.m_clean, stretch->cleanBegin, stretch->cleanEnd);
                    text.cleanedQuoted = text.cleaned.RunEnd(RUN_TOKEN, 0) < text.cleaned.Size();
                    return text;
                }
            }
            text.raw = CellText(GetNodeText(cell, m_scoreTable.raw));
        }
        if (needsCleaned) {
            const std::u16string_view raw = text.raw.View();
            SetCleaned(text, m_scoreTable.cleaned, raw.data(), raw.data() + raw.size());
        }
        return text;
    };

    // Which values a later cell replaces, first for the whole pattern with every "vs" cell taken to write both
    // names. A row holds a part of the pattern, and its "vs" cells write names only when they hold " vs ": where
    // the pattern replaces nothing, no row does, and the rows need no pass of their own.
    std::vector<uint8_t> &patternReplaced = m_scoreTable.patternReplaced;
    const bool rowsReplace = MarkReplaced(entryAt, entryAt.size(), patternReplaced, [](size_t) { return true; });

    // Each result row's cells, as far as the first row's pattern reaches.
    ScoreTableRows &rows = m_scoreTable.rows;
    rows.Reset(resultRows.size());
    for (size_t r = 0; r < resultRows.size(); ++r) {
        const NKXML::CNode *source = resultRows[r];
        if (r + 2 < resultRows.size())
            PrefetchStretch(resultRows[r + 1], resultRows[r + 2]);
        const size_t limit = std::min(entryAt.size(), static_cast<size_t>(source->m_children.size()));
        const uint8_t *replaced = patternReplaced.data(); // none
        if (rowsReplace) {
            MarkReplaced(entryAt, limit, m_scoreTable.rowReplaced, [&](size_t position) {
                return cellText(source->m_children[position], false).raw.FindVersus() != std::u16string_view::npos;
            });
            replaced = m_scoreTable.rowReplaced.data();
        }
        for (size_t position = 0; position < limit; ++position) {
            if (entryAt[position] < 0)
                continue;
            const ScoreTableClass &info = ScoreTableClassMap[entryAt[position]];
            const bool needsCleaned = info.rule == RULE_PLAIN || info.rule == RULE_LEAD || info.rule == RULE_TRICKS;
            ReadCell(info, cellText(source->m_children[position], needsCleaned), replaced[position], rows, r);
        }
    }

    size_t widths[SCORE_TABLE_COLUMN_COUNT] = {};
    rows.MeasureColumns(widths);
    AppendColumnNames(value, present, widths);
    AppendRowLines(rowsText, rows, present, widths);
}
