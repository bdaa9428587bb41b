#pragma once
// The ScoreTable of a board: the columns a page's score table shows, turned into the PBN tag value (the column
// list with widths) and the rows, one line per result.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/cell_text_index.h"
#include "markup/xml_parser.h"

inline constexpr int SCORE_TABLE_COLUMN_COUNT = 15;

enum ScoreTableColumn {
    STC_SECTION,
    STC_PAIRID_NS,
    STC_PAIRID_EW,
    STC_CONTRACT,
    STC_DECLARER,
    STC_LEAD,
    STC_RESULT,
    STC_SCORE_NS,
    STC_SCORE_EW,
    STC_MP_NS,
    STC_MP_EW,
    STC_IMP_NS,
    STC_IMP_EW,
    STC_NAMES_NS,
    STC_NAMES_EW,
};

struct ScoreTableColumnInfo {
    std::u16string_view name;
    bool rightJustified;
};
// The PBN columns in the order of the tag value and of every row.
extern const ScoreTableColumnInfo ScoreTableColumns[SCORE_TABLE_COLUMN_COUNT];

// Bits of CDSCDoc::m_nScoringKinds.
inline constexpr int SCORING_MATCHPOINTS = 1;
inline constexpr int SCORING_IMPS = 2;

// The values of a score table being built: rows of the fifteen columns, every text kept in one buffer so that
// no cell needs an allocation of its own.
class ScoreTableRows {
public:
    void Reset(size_t rowCount);
    size_t RowCount() const { return m_rowCount; }
    std::u16string_view Get(size_t row, int column) const {
        const Span &span = m_cells[row * SCORE_TABLE_COLUMN_COUNT + column];
        return std::u16string_view(m_pool).substr(span.start, span.length);
    }
    bool IsEmpty(size_t row, int column) const { return m_cells[row * SCORE_TABLE_COLUMN_COUNT + column].length == 0; }
    // `value` must not point into this object.
    void Set(size_t row, int column, std::u16string_view value);
    // Sets the value as one token of a table row (QuotePbnToken).
    void SetToken(size_t row, int column, std::u16string_view value);
    void SetNumber(size_t row, int column, int64_t number);
    // Sets the token of a cell's cleaned text (suit symbols and signs replaced, white space dropped), in quotes as
    // QuotePbnToken quotes when `needsQuotes` (NeedsQuotes of any character); `leadTen`: a three-character "x10"
    // becomes "xT".
    void SetCleanedToken(size_t row, int column, std::u16string_view cleaned, bool leadTen, bool needsQuotes);
    // Raises each column's width (`widths[column]`) to its longest value.
    void MeasureColumns(size_t widths[]) const;

private:
    struct Span {
        uint32_t start = 0;
        uint32_t length = 0;
    };
    void Begin(size_t row, int column) {
        m_open = &m_cells[row * SCORE_TABLE_COLUMN_COUNT + column];
        m_open->start = static_cast<uint32_t>(m_pool.size());
    }
    void End() { m_open->length = static_cast<uint32_t>(m_pool.size() - m_open->start); }

    std::u16string m_pool;
    std::vector<Span> m_cells;
    size_t m_rowCount = 0;
    Span *m_open = nullptr;
};

// The texts of all text nodes below the node, in document order: the node's only text where it has one, else
// `scratch`, which receives the text.
std::u16string_view GetNodeText(const NKXML::CNode *node, std::u16string &scratch);
// The value as one token of a table row: "-" when empty, in double quotes when it holds a blank, a control or
// non-ASCII character, or one of [ ] { } ; % " (a quote or a backslash inside the quotes written \" and \\).
std::u16string QuotePbnToken(std::u16string_view value);
// Section letters, pair number and names of one side (0 NS, 1 EW) from a pair cell such as "B12-Smith - Jones".
// `namesKept` false: a later cell of the row gives the names, and these are not made.
void ParsePairCell(const CellText &text, ScoreTableRows &rows, size_t row, int side, bool namesKept);
