#pragma once
// Double-dummy analysis of many deals with libdds, and the PBN texts of its results.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "deal_check.h"

namespace standin {

// tricks[declarer][strain]: declarers N, E, S, W; strains S, H, D, C, NT (the solver's layout).
using TrickTable = std::array<std::array<int, 5>, 4>;

// Most tables in one solver call: more than 32 have crashed it.
inline constexpr size_t MAX_TABLES_PER_CALL = 32;

// Solves every deal (all of them checked by ReadCompleteDeal), in calls of at most MAX_TABLES_PER_CALL
// tables, with all cores; `progress` runs after each call. Returns an empty text, or the solver's error.
std::string SolveTables(const std::vector<DealCards> &deals, std::vector<TrickTable> &tables,
                        const std::function<void(size_t done, size_t total)> &progress);

// "DoubleDummyTricks": 20 lower-case hex digits, declarers N, S, E, W, each NT, S, H, D, C.
std::string FormatDoubleDummyTricks(const TrickTable &table);
// The "OptimumResultTable" header and its 20 rows in the same order, each ending CR LF.
inline constexpr const char *OPTIMUM_RESULT_TABLE_HEADER = "Declarer;Denomination\\2R;Result\\2R";
std::string FormatOptimumResultRows(const TrickTable &table);

} // namespace standin
