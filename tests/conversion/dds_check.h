#pragma once
// Deal values checked by libdds, in a separate process with a private working folder: libdds writes dump files
// into the current folder on a bad deal and can abort on some.
#include <string>
#include <vector>

namespace ddscheck {

// libdds's return code for each deal (1 when it accepted the deal); empty when the child failed.
std::vector<int> CheckDeals(const std::vector<std::string> &deals);

} // namespace ddscheck
