#pragma once
// One hand: the named cards as a rank mask per suit, plus the unnamed "x" and "?" cards, counted per suit.
#include <cstdint>
#include <string>

// Outcome of CCards::Parse (m_nError).
inline constexpr int HAND_ERROR_NONE = 0;
inline constexpr int HAND_ERROR_INVALID_CHARACTER = 1; // m_strError lists the characters
inline constexpr int HAND_ERROR_TOO_MANY_SUITS = 2;    // five or more dot-separated groups
inline constexpr int HAND_ERROR_DUPLICATE_CARD = 3;    // m_strError lists the card names

class CCards {
public:
    CCards() = default;
    // Copies the cards only: the copy has no error, whatever the source held.
    CCards(const CCards &other);
    CCards &operator=(const CCards &) = delete;

    // Fills the hand from a PBN hand text such as "AKQ.JT9.876.5432"; lower-case rank letters are upper-cased
    // in the caller's text. True when the text held no error.
    bool Parse(std::u16string &text);
    // Takes the named cards of `other` out of this hand; false when at least one of them was not held here.
    bool Remove(const CCards &other);
    // "SA", "CT", ...; "x" and "?" for the unnamed cards; empty for a code that names no card.
    static std::u16string GetCardName(int code);
    // The next card held after `code` (spades ace down to two, then hearts, diamonds, clubs); the first card held
    // when code < 0; -1 when there is none.
    int GetNextCard(int code) const;

    // Empties the hand of cards (counts, points, masks); the error fields stay.
    void EmptyCards();

    int m_nCards = 0;
    int m_nHCP = 0;
    int m_nError = HAND_ERROR_NONE;
    std::u16string m_strError;
    uint16_t m_suitMask[4] = {};
    int m_nKnown[4] = {};
    int m_nUnknown[4] = {};
};

// Exchanges the cards of two hands; their error fields stay where they are.
void SwapCards(CCards &a, CCards &b);
