#pragma once
// The ScoreTable of a board: the columns a page's score table shows, turned into the PBN tag value (the column
// list with widths) and the rows, one line per result.
#include <array>
#include <string>
#include <string_view>

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

using ScoreTableRow = std::array<std::u16string, SCORE_TABLE_COLUMN_COUNT>;

// The texts of all text nodes below the node, in document order, appended to `out`.
void AppendNodeText(const NKXML::CNode *node, std::u16string &out);
std::u16string GetNodeText(const NKXML::CNode *node);
// The value as one token of a table row: "-" when empty, in double quotes when it holds a blank, a control or
// non-ASCII character, or one of [ ] { } ; % ".
std::u16string QuotePbnToken(std::u16string_view value);
// Section letters, pair number and names of one side (0 NS, 1 EW) from a pair cell such as "B12-Smith - Jones".
void ParsePairCell(std::u16string_view text, ScoreTableRow &row, int side);
