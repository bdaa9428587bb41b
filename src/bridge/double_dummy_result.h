#pragma once
// The double-dummy results that the companion delivers for one board, stored exactly as delivered.
#include <string>

struct CDoubleDummyResult {
    std::u16string m_strDoubleDummyTricks;  // value of the "DoubleDummyTricks" tag
    std::u16string m_strOptimumResultTable; // value of the "OptimumResultTable" tag (its column header)
    std::u16string m_strOptimumResultRows;  // the table's rows, one text with its own line ends
};
