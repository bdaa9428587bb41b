#pragma once
// Tables where a side has two different contracts (level and strain) made exactly for its best score. Which of
// them par starts from is a choice of ours; libdds may then list a sacrifice over the lower one that we leave out.
#include "bridge/dda.h"
#include "bridge/par.h"
#include "bridge/score.h"

inline bool SideHasTwoEqualBestContracts(const CDDA &dda, int vulnerable) {
    for (int side = 0; side < 2; ++side) {
        int best = 0, bestKey = -1;
        bool tie = false;
        for (int seat = side; seat < SEATS; seat += 2)
            for (int strain = 0; strain < STRAINS; ++strain) {
                const int level = dda.m_tricks[seat][strain] - 6;
                if (level < 1)
                    continue;
                CScore c;
                c.m_bKnown = true;
                c.m_nLevel = level;
                c.m_nStrain = strain;
                const int s = c.ComputeScore(IsVulnerable(seat, vulnerable), level + 6);
                const int key = ContractOrder(level, strain);
                if (s > best) {
                    best = s;
                    bestKey = key;
                    tie = false;
                } else if (s == best && key != bestKey) {
                    tie = true;
                }
            }
        if (tie)
            return true;
    }
    return false;
}
