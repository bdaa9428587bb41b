#pragma once
// The double-dummy analysis by the companion: it opens a PBN file, analyses every board, and we read each
// board's DoubleDummyTricks and OptimumResultTable texts back, keyed by its board number.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "bridge/double_dummy_result.h"

namespace companion {

using DoubleDummyResults = std::unordered_map<std::u16string, CDoubleDummyResult>;

// The boards of PBN text as Dealscope writes it: the lines that start with a "Board" tag, one per game.
size_t CountPbnBoards(std::string_view pbn);

// Has the companion analyse the PBN file at `path`, which holds `boards` boards, and returns the results of every
// board that got a DoubleDummyTricks value (a later board with the same number wins). A companion that counts
// more boards than that has not read what we wrote: its reply is one that could not be understood. A failure is
// reported through platform::FatalError / platform::ReportException and does not return; nothing is half
// delivered.
DoubleDummyResults RunDoubleDummyAnalysis(const std::string &path, size_t boards);

} // namespace companion
