#pragma once
// Generates a results page shaped like the ones the companion program writes: a head with a style sheet and a
// script, a recap listing, then board divisions with nested hand tables, score tables whose cells are left
// unclosed, character references, comments and some non-ASCII names. Deterministic for a given size.
#include <cstddef>
#include <string>

namespace markup_bench {

// A page of at least minBytes bytes of UTF-8.
std::string GenerateCompanionPage(size_t minBytes);

} // namespace markup_bench
