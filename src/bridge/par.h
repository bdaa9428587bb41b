#pragma once
// Par: the result that neither side can improve on by bidding further, every failing contract doubled.
#include "bridge/dda.h"

#include <string>

// Reads the table only. Each output may be null:
//   result     "NS 420", "EW -300", "NS 90 EW 90"; set empty for an incomplete table
//   contracts  the par contracts, appended ("4S-NS", "5D*-EW-2" plain; ": EW\u00A05\Dx-2" marked up)
//   parScore   par score seen from North-South
//   parScore2  0, or the second par score seen from East-West when either side makes the par contract
//              whoever declares it first
// For an incomplete table only `result` is written. A negative vulnerability mask counts as none.
void ComputePar(const CDDA &dda, int vulnerable, std::u16string *result, std::u16string *contracts, int *parScore,
                int *parScore2, bool plain);
