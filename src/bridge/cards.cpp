#include "bridge/cards.h"

#include "bridge/bridge_codes.h"
#include "platform/wide_text.h"

#include <bit>

namespace {

// Points of the honours set in a rank mask: jack 1, queen 2, king 3, ace 4.
int MaskPoints(unsigned mask) {
    return ((mask >> 9) & 1) + ((mask >> 10) & 1) * 2 + ((mask >> 11) & 1) * 3 + ((mask >> 12) & 1) * 4;
}

void AppendErrorEntry(std::u16string &errorText, std::u16string_view entry) {
    if (!errorText.empty())
        errorText += u' ';
    errorText += entry;
}

} // namespace

CCards::CCards(const CCards &other) : m_nCards(other.m_nCards), m_nHCP(other.m_nHCP), m_nError(HAND_ERROR_NONE) {
    for (int suit = 0; suit < SUITS; ++suit) {
        m_suitMask[suit] = other.m_suitMask[suit];
        m_nKnown[suit] = other.m_nKnown[suit];
        m_nUnknown[suit] = other.m_nUnknown[suit];
    }
}

void SwapCards(CCards &a, CCards &b) {
    if (&a == &b)
        return;
    std::swap(a.m_nCards, b.m_nCards);
    std::swap(a.m_nHCP, b.m_nHCP);
    for (int suit = 0; suit < SUITS; ++suit) {
        std::swap(a.m_suitMask[suit], b.m_suitMask[suit]);
        std::swap(a.m_nKnown[suit], b.m_nKnown[suit]);
        std::swap(a.m_nUnknown[suit], b.m_nUnknown[suit]);
    }
}

void CCards::EmptyCards() {
    m_nCards = 0;
    m_nHCP = 0;
    for (int suit = 0; suit < SUITS; ++suit) {
        m_suitMask[suit] = 0;
        m_nKnown[suit] = 0;
        m_nUnknown[suit] = 0;
    }
}

bool CCards::Parse(std::u16string &text) {
    m_nError = HAND_ERROR_NONE;
    m_strError.clear();
    EmptyCards();

    // "-" stands for a void hand.
    if (text.empty() || (text.size() < 2 && text[0] == u'-'))
        return true;

    int suit = 0;
    for (char16_t &ch : text) {
        if (ch == u'.') {
            ++suit; // counted on past the fourth group so that a fifth group is reported
            continue;
        }
        if (suit >= SUITS)
            continue;
        if (ch == u'x' || ch == u'?') {
            ++m_nUnknown[suit];
            ++m_nCards;
            continue;
        }
        const char16_t original = ch;
        if (platform::IsLowerW(ch))
            ch = platform::ToUpperW(ch);
        const size_t rank = RANK_LETTERS.find(ch);
        if (rank != std::u16string_view::npos) {
            const uint16_t bit = static_cast<uint16_t>(1u << rank);
            if (!(m_suitMask[suit] & bit)) {
                m_suitMask[suit] |= bit;
                ++m_nKnown[suit];
                ++m_nCards;
                m_nHCP += HighCardPoints(static_cast<int>(rank));
            } else if (m_nError == HAND_ERROR_NONE || m_nError == HAND_ERROR_DUPLICATE_CARD) {
                m_nError = HAND_ERROR_DUPLICATE_CARD;
                AppendErrorEntry(m_strError, GetCardName(static_cast<int>(rank) * 4 + suit));
            }
        } else if (m_nError == HAND_ERROR_NONE || m_nError == HAND_ERROR_INVALID_CHARACTER) {
            m_nError = HAND_ERROR_INVALID_CHARACTER;
            AppendErrorEntry(m_strError, std::u16string_view(&original, 1));
        }
    }
    if (m_nError != HAND_ERROR_NONE)
        return false;
    if (suit >= SUITS) {
        m_nError = HAND_ERROR_TOO_MANY_SUITS;
        return false;
    }
    return true;
}

bool CCards::Remove(const CCards &other) {
    bool allHeld = true;
    for (int suit = 0; suit < SUITS; ++suit) {
        const unsigned wanted = other.m_suitMask[suit];
        const unsigned held = wanted & m_suitMask[suit];
        if (held != wanted)
            allHeld = false;
        const int count = std::popcount(held);
        m_suitMask[suit] = static_cast<uint16_t>(m_suitMask[suit] & ~held);
        m_nKnown[suit] -= count;
        m_nCards -= count;
        m_nHCP -= MaskPoints(held);
    }
    return allHeld;
}

std::u16string CCards::GetCardName(int code) {
    if (code == CARD_X)
        return u"x";
    if (code == CARD_UNKNOWN)
        return u"?";
    if (code < 0 || code >= CARDS)
        return {};
    return {SUIT_LETTERS[code & 3], RANK_LETTERS[code >> 2]};
}

int CCards::GetNextCard(int code) const {
    int suit = 0;
    unsigned below = 1u << RANKS; // ranks still to search in the first suit: all of them
    if (code >= 0) {
        suit = code & 3;
        const int rank = code >> 2;
        below = rank >= RANKS ? 1u << RANKS : 1u << rank;
    }
    for (; suit < SUITS; ++suit) {
        const unsigned candidates = m_suitMask[suit] & (below - 1);
        if (candidates)
            return (std::bit_width(candidates) - 1) * 4 + suit;
        below = 1u << RANKS;
    }
    return -1;
}
