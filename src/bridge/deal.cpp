#include "bridge/deal.h"

#include "bridge/bridge_codes.h"
#include "platform/wide_text.h"

void CDeal::Clear() {
    m_nFirstSeat = -1;
    m_rest.EmptyCards();
    for (int suit = 0; suit < SUITS; ++suit) {
        m_rest.m_suitMask[suit] = (1u << RANKS) - 1;
        m_rest.m_nKnown[suit] = RANKS;
    }
    m_rest.m_nCards = CARDS;
    m_rest.m_nHCP = 40;
    for (int seat = 0; seat < SEATS; ++seat) {
        m_bHandGiven[seat] = false;
        m_hands[seat].EmptyCards();
        m_strHands[seat].clear();
    }
}

bool CDeal::Parse(std::u16string_view text) {
    Clear();
    text = text.substr(0, text.find(u'\0'));
    if (text.empty())
        return true;

    char16_t first = text[0];
    if (platform::IsLowerW(first))
        first = platform::ToUpperW(first);
    const size_t firstSeat = SEAT_LETTERS.find(first);
    const bool seatGiven = firstSeat != std::u16string_view::npos;
    m_nFirstSeat = seatGiven ? static_cast<int>(firstSeat) : 0;

    const bool colon = text.size() > 1 && text[1] == u':';
    bool ok = colon && seatGiven;
    size_t pos = colon ? 2 : 1;
    int seat = m_nFirstSeat;
    for (int count = 0;; ++count) {
        size_t end = text.find(u' ', pos);
        if (end == std::u16string_view::npos)
            end = text.size();
        m_strHands[seat].assign(text.substr(pos, end - pos));
        m_bHandGiven[seat] = true;
        if (!m_hands[seat].Parse(m_strHands[seat]))
            ok = false;
        m_rest.Remove(m_hands[seat]);
        if (end == text.size())
            return count == 3 && ok;
        seat = (seat + 1) & 3;
        if (count == 3)
            return false; // a blank after the fourth hand
        pos = end + 1;
    }
}
