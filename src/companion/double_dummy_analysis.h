#pragma once
// The double-dummy analysis by the companion: it opens a PBN file, analyses every board, and we read each
// board's DoubleDummyTricks and OptimumResultTable texts back, keyed by its board number.
#include <string>
#include <unordered_map>

#include "bridge/double_dummy_result.h"

namespace companion {

using DoubleDummyResults = std::unordered_map<std::u16string, CDoubleDummyResult>;

// Has the companion analyse the PBN file at `path` and returns the results of every board that got a
// DoubleDummyTricks value (a later board with the same number wins). A failure is reported through
// platform::FatalError / platform::ReportException and does not return; nothing is half delivered.
DoubleDummyResults RunDoubleDummyAnalysis(const std::string &path);

} // namespace companion
