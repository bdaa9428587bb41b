#pragma once
// Reading and checking a PBN Deal value before the solver sees it: the solver trusts its input, and a deal
// with a missing or doubled card can corrupt its memory. Only complete, valid deals pass.
#include <array>
#include <string_view>

namespace standin {

// Rank bits per hand and suit, in the solver's layout: hands N, E, S, W; suits S, H, D, C; the two is bit 2,
// the ace bit 14.
using DealCards = std::array<std::array<unsigned, 4>, 4>;

// True when `deal` ("N:AKQ.JT9.876.5432 ..." with first seat N, E, S or W) gives every hand 13 known cards and
// all 52 cards are distinct; `cards` then holds the deal.
bool ReadCompleteDeal(std::string_view deal, DealCards &cards);

} // namespace standin
