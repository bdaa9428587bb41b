#pragma once
// A double-dummy trick table (tricks by declarer and strain, 255 = no value) and its makeable contracts.
#include "bridge/bridge_codes.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr uint8_t DDA_NO_VALUE = 255;

// One makeable contract: made exactly at level tricks - 6, undoubled, not vulnerable.
struct CDDAScore {
    uint8_t m_nStrain;
    uint8_t m_nDeclarer;
    uint8_t m_nTricks;
    short m_nScore;
};

// Best score first; then no trump, spades, hearts, diamonds, clubs; then North, South, East, West.
int CompareDDAScore(const CDDAScore &a, const CDDAScore &b);

class CDDA {
public:
    CDDA() { Clear(); }

    void Clear();
    // Every write of a cell goes through here: the cached text and list belong to the cells as they stand.
    void SetTricks(int declarer, int strain, uint8_t value) {
        m_tricks[declarer][strain] = value;
        m_strContracts.clear();
        std::vector<CDDAScore>().swap(m_scores);
    }
    // Every cell holds 0..13.
    bool IsComplete() const;
    // "NS\u00A04\S; N\u00A03N; ..." for every declarer and strain that makes at least seven tricks, best score
    // first, partners with the same result merged; empty for an incomplete table.
    std::u16string GetMakeableContracts();

    uint8_t m_tricks[SEATS][STRAINS];
    std::u16string m_strContracts;
    std::vector<CDDAScore> m_scores;
};
