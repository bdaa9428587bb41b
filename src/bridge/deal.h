#pragma once
// One deal read from a PBN "Deal" value: first seat, the four hands and the cards no hand names.
#include "bridge/cards.h"

#include <string>
#include <string_view>

class CDeal {
public:
    CDeal() { Clear(); }
    CDeal(const CDeal &) = delete;
    CDeal &operator=(const CDeal &) = delete;

    void Clear();
    // Reads a value such as "N:AKQ.JT9.876.5432 ..." (a seat letter, a colon, four hands clockwise separated by
    // single blanks). The text ends at its first NUL. True only for an empty text or a well-formed deal whose
    // four hands all parse; the hands read before a failure stay filled in.
    bool Parse(std::u16string_view text);

    int m_nFirstSeat = -1;
    bool m_bHandGiven[4] = {};
    CCards m_hands[4];
    std::u16string m_strHands[4];
    CCards m_rest; // the cards of the pack that no given hand names
};
