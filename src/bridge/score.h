#pragma once
// One contract with its result and duplicate score, and its text in plain ("4S*-NS") or marked-up
// ("NS", no-break space, "4\Sx") style.
#include <string>

class CScore {
public:
    // Scores the contract for the declarer's vulnerability and the tricks taken by the declaring side;
    // stores the tricks, the score and the valid flag and returns the score.
    int ComputeScore(bool vulnerable, int tricks);
    std::u16string GetText(bool plain) const;
    // GetText appended to `out`.
    void AppendText(std::u16string &out, bool plain) const;

    int m_nDeclarer = -1;
    int m_nSeatMask = 0; // further seats shown with the contract (bit 1 << seat)
    int m_nLevel = 0;    // 0 = passed out
    int m_nStrain = 0;
    int m_nDoubled = 0; // 0, 1 doubled, 2 redoubled
    int m_nTricks = 0;
    int m_nScore = 0; // from the declaring side's point of view
    bool m_bKnown = false;
    bool m_bValid = false;
};
