#include "conversion/score_table.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "conversion/dsc_doc.h"
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

constexpr int TEXT_NODE = 3;
constexpr int ELEMENT_NODE = 1;

std::u16string_view ClassOf(const NKXML::CNode *element, uint16_t classAtom) {
    for (const NKXML::CNode *attribute : element->m_attributes) {
        if (attribute->m_nAtom == classAtom)
            return attribute->m_pszValue ? std::u16string_view(attribute->m_pszValue) : std::u16string_view();
    }
    return {};
}

bool IsElementOfClass(const NKXML::CNode *node, uint16_t tagAtom, uint16_t classAtom, std::u16string_view name) {
    return node->m_nType == ELEMENT_NODE && node->m_nAtom == tagAtom && ClassOf(node, classAtom) == name;
}

// Symbols replaced, then white space dropped.
void CleanCellText(std::u16string_view text, std::u16string &out) {
    out.clear();
    for (char16_t c : text) {
        for (const auto &[symbol, letter] : ScoreTableSymbolMap) {
            if (c == symbol) {
                c = letter;
                break;
            }
        }
        if (!platform::IsSpaceW(c))
            out.push_back(c);
    }
}

void AppendDecimal(std::u16string &out, int64_t value) {
    for (char c : std::to_string(value))
        out.push_back(static_cast<char16_t>(c));
}

// The table of class "tsst" inside the board, or the element right after it.
const NKXML::CNode *FindScoreTable(const NKXML::CNode *board, uint16_t tableAtom, uint16_t classAtom,
                                   std::vector<NKXML::CNode *> &matches) {
    matches.clear();
    const_cast<NKXML::CNode *>(board)->FindElements(matches, tableAtom, classAtom, u"tsst");
    if (!matches.empty())
        return matches.front();
    const NKXML::CNode *parent = board->m_pParent;
    if (!parent)
        return nullptr;
    const auto &siblings = parent->m_children;
    size_t count = siblings.size();
    size_t i = 0;
    while (i < count && siblings[i] != board)
        ++i;
    for (++i; i < count; ++i) {
        const NKXML::CNode *sibling = siblings[i];
        if (sibling->m_nType != ELEMENT_NODE)
            continue; // text and comments between the board and its table
        return IsElementOfClass(sibling, tableAtom, classAtom, u"tsst") ? sibling : nullptr;
    }
    return nullptr;
}

} // namespace

void AppendNodeText(const NKXML::CNode *node, std::u16string &out) {
    // Iterative pre-order walk: pages nest unclosed cells deeply.
    std::vector<std::pair<const NKXML::CNode *, size_t>> stack;
    stack.emplace_back(node, 0);
    while (!stack.empty()) {
        auto &[current, next] = stack.back();
        if (next < current->m_children.size()) {
            const NKXML::CNode *child = current->m_children[next++];
            if (child->m_nType == TEXT_NODE) {
                if (child->m_pszValue)
                    out += child->m_pszValue;
            } else if (!child->m_children.empty()) {
                stack.emplace_back(child, 0);
            }
        } else {
            stack.pop_back();
        }
    }
}

std::u16string GetNodeText(const NKXML::CNode *node) {
    std::u16string text;
    AppendNodeText(node, text);
    return text;
}

std::u16string QuotePbnToken(std::u16string_view value) {
    if (value.empty())
        return u"-";
    bool needsQuotes = false;
    for (char16_t c : value) {
        if (c < 0x21 || c > 0x7E || c == u'[' || c == u']' || c == u'{' || c == u'}' || c == u';' || c == u'%' ||
            c == u'"') {
            needsQuotes = true;
            break;
        }
    }
    if (!needsQuotes)
        return std::u16string(value);
    std::u16string quoted;
    quoted.reserve(value.size() + 2);
    quoted += u'"';
    quoted += value;
    quoted += u'"';
    return quoted;
}

void ParsePairCell(std::u16string_view text, ScoreTableRow &row, int side) {
    size_t run = 0;
    while (run < text.size() && platform::IsAlphaW(text[run]))
        ++run;
    if (row[STC_SECTION].empty())
        row[STC_SECTION] = text.substr(0, run);
    // The number reader wants a terminated text.
    std::u16string rest(text.substr(run));
    const char16_t *end = nullptr;
    uint32_t number = platform::WcsToUL(rest.c_str(), &end, 10);
    std::u16string &pairId = row[STC_PAIRID_NS + side];
    pairId.clear();
    AppendDecimal(pairId, number);
    if (*end == u'-')
        ++end;
    row[STC_NAMES_NS + side] = QuotePbnToken(std::u16string_view(end, rest.c_str() + rest.size() - end));
}

void CDSCDoc::ParseScoreTable(const NKXML::CNode *board, std::u16string &value, std::u16string &rows) {
    const uint16_t classAtom = m_atoms[ATOM_CLASS];
    const NKXML::CNode *table = FindScoreTable(board, m_atoms[ATOM_TABLE], classAtom, m_matches);
    if (!table)
        return;

    // Result rows: "tsstshade" and "tsst" rows of the table's bodies, in order.
    std::vector<const NKXML::CNode *> resultRows;
    for (const NKXML::CNode *body : table->m_children) {
        if (body->m_nType != ELEMENT_NODE || body->m_nAtom != m_atoms[ATOM_TBODY])
            continue;
        for (const NKXML::CNode *row : body->m_children) {
            if (row->m_nType != ELEMENT_NODE || row->m_nAtom != m_atoms[ATOM_TR])
                continue;
            std::u16string_view rowClass = ClassOf(row, classAtom);
            if (rowClass == u"tsstshade" || rowClass == u"tsst")
                resultRows.push_back(row);
        }
    }
    if (resultRows.empty())
        return;

    // The first row's cells, by position (every child counts, text included), give each position its rule.
    const NKXML::CNode *firstRow = resultRows.front();
    const size_t patternSize = firstRow->m_children.size();
    std::vector<int> entryAt(patternSize, -1);
    bool present[SCORE_TABLE_COLUMN_COUNT] = {};
    for (size_t position = 0; position < patternSize; ++position) {
        const NKXML::CNode *cell = firstRow->m_children[position];
        if (cell->m_nType != ELEMENT_NODE || cell->m_nAtom != m_atoms[ATOM_TD])
            continue;
        std::u16string_view cellClass = ClassOf(cell, classAtom);
        for (int entry = 0; entry < CLASS_COUNT; ++entry) {
            if (ScoreTableClassMap[entry].className != cellClass)
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
    if (present[STC_MP_NS] || present[STC_MP_EW])
        m_nScoringKinds |= SCORING_MATCHPOINTS;
    if (present[STC_IMP_NS] || present[STC_IMP_EW])
        m_nScoringKinds |= SCORING_IMPS;

    std::vector<ScoreTableRow> table_rows(resultRows.size());
    std::u16string raw, cleaned;
    for (size_t r = 0; r < resultRows.size(); ++r) {
        const NKXML::CNode *source = resultRows[r];
        ScoreTableRow &row = table_rows[r];
        size_t limit = std::min(patternSize, static_cast<size_t>(source->m_children.size()));
        for (size_t position = 0; position < limit; ++position) {
            int entry = entryAt[position];
            if (entry < 0)
                continue;
            raw.clear();
            AppendNodeText(source->m_children[position], raw);
            const ScoreTableClass &info = ScoreTableClassMap[entry];
            switch (info.rule) {
            case RULE_PLAIN:
                CleanCellText(raw, cleaned);
                row[info.column] = QuotePbnToken(cleaned);
                break;
            case RULE_TRICKS: {
                CleanCellText(raw, cleaned);
                int64_t made = platform::WToI(cleaned.c_str());
                int64_t tricks;
                if (made == 0) {
                    row[STC_RESULT] = u"0";
                    break;
                }
                if (made > 0) {
                    tricks = made + 6;
                } else {
                    // Down: the tricks follow from the contract's level, when the row already holds it.
                    int64_t level = platform::WToI(row[STC_CONTRACT].c_str());
                    if (level < 1) {
                        row[STC_RESULT].clear();
                        break;
                    }
                    tricks = made + level + 6;
                }
                row[STC_RESULT].clear();
                if (tricks != 255)
                    AppendDecimal(row[STC_RESULT], static_cast<int32_t>(static_cast<uint32_t>(tricks)));
                break;
            }
            case RULE_LEAD:
                CleanCellText(raw, cleaned);
                if (cleaned.size() == 3 && cleaned[1] == u'1' && cleaned[2] == u'0')
                    cleaned.replace(1, 2, u"T");
                row[STC_LEAD] = QuotePbnToken(cleaned);
                break;
            case RULE_PAIR_NS:
                ParsePairCell(raw, row, 0);
                break;
            case RULE_PAIR_EW:
                ParsePairCell(raw, row, 1);
                break;
            case RULE_PAIRS: {
                size_t versus = raw.find(u" vs ");
                if (versus == std::u16string::npos)
                    break;
                ParsePairCell(std::u16string_view(raw).substr(0, versus), row, 0);
                ParsePairCell(std::u16string_view(raw).substr(versus + 4), row, 1);
                break;
            }
            }
        }
    }

    size_t widths[SCORE_TABLE_COLUMN_COUNT] = {};
    int lastPresent = -1;
    for (int column = 0; column < SCORE_TABLE_COLUMN_COUNT; ++column) {
        for (const ScoreTableRow &row : table_rows)
            widths[column] = std::max(widths[column], row[column].size());
        if (present[column])
            lastPresent = column;
    }

    for (int column = 0; column < SCORE_TABLE_COLUMN_COUNT; ++column) {
        if (!present[column])
            continue;
        if (!value.empty())
            value += u';';
        value += ScoreTableColumns[column].name;
        if (widths[column] >= 2) {
            value += u'\\';
            AppendDecimal(value, static_cast<int64_t>(widths[column]));
            if (ScoreTableColumns[column].rightJustified)
                value += u'R';
        }
    }

    for (const ScoreTableRow &row : table_rows) {
        bool first = true;
        for (int column = 0; column < SCORE_TABLE_COLUMN_COUNT; ++column) {
            if (!present[column])
                continue;
            std::u16string_view cell =
                row[column].empty() ? std::u16string_view(u"-") : std::u16string_view(row[column]);
            if (!first)
                rows += u' ';
            first = false;
            size_t padding = column == lastPresent || cell.size() >= widths[column] ? 0 : widths[column] - cell.size();
            if (ScoreTableColumns[column].rightJustified)
                rows.append(padding, u' ');
            rows += cell;
            if (!ScoreTableColumns[column].rightJustified)
                rows.append(padding, u' ');
        }
        rows += u"\r\n";
    }
}
