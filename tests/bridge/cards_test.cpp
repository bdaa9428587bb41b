#include "bridge/bridge_codes.h"
#include "bridge/cards.h"

#include <gtest/gtest.h>

#include <utility>

// Hands as the page writes them: the parse result, the error kind and text, the text upper-cased in place, the
// cards and points read (every card before and after a bad character is read once; a fifth group is not).
TEST(Cards, ParseHandsAndErrors) {
    const struct {
        const char16_t *text;
        bool ok;
        int error;
        const char16_t *errorText;
        const char16_t *stored; // the text after parsing
        int cards, points;
    } rows[] = {
        {u"AKQ.JT9.876.5432", true, HAND_ERROR_NONE, u"", u"AKQ.JT9.876.5432", 13, 10},
        {u"-", true, HAND_ERROR_NONE, u"", u"-", 0, 0},
        {u"AKQ.JT", true, HAND_ERROR_NONE, u"", u"AKQ.JT", 5, 10}, // missing suits stay empty
        {u"--", false, HAND_ERROR_INVALID_CHARACTER, u"- -", u"--", 0, 0},
        {u"AKQ.JT.9.8.7", false, HAND_ERROR_TOO_MANY_SUITS, u"", u"AKQ.JT.9.8.7", 7, 10},
        {u"x.x.x.x.x?z", false, HAND_ERROR_TOO_MANY_SUITS, u"", u"x.x.x.x.x?z", 4, 0},
        {u"AKA.KK.3.22", false, HAND_ERROR_DUPLICATE_CARD, u"SA HK C2", u"AKA.KK.3.22", 5, 10},
        // The first kind of error wins; every card is still read.
        {u"AKZ.Q.J.TT", false, HAND_ERROR_INVALID_CHARACTER, u"Z", u"AKZ.Q.J.TT", 5, 10},
        {u"AA.Z.1.", false, HAND_ERROR_DUPLICATE_CARD, u"SA", u"AA.Z.1.", 1, 4},
        // 'X' and '1' are no ranks; upper-casing is that of the "C" locale; the error text keeps what was written.
        {u"X1.z", false, HAND_ERROR_INVALID_CHARACTER, u"X 1 z", u"X1.Z", 0, 0},
        {u"AK\u00e9.q\u00df.\u0442", false, HAND_ERROR_INVALID_CHARACTER, u"\u00e9 \u00df \u0442",
         u"AK\u00e9.Q\u00df.\u0442", 3, 9},
        {u"akq.x.?.2", true, HAND_ERROR_NONE, u"", u"AKQ.x.?.2", 6, 9},
    };
    CCards hand; // reused: each parse starts afresh, whatever the one before left
    for (const auto &row : rows) {
        std::u16string text = row.text;
        SCOPED_TRACE(testing::PrintToString(text));
        EXPECT_EQ(hand.Parse(text), row.ok);
        EXPECT_EQ(hand.m_nError, row.error);
        EXPECT_EQ(hand.m_strError, row.errorText);
        EXPECT_EQ(text, row.stored);
        EXPECT_EQ(hand.m_nCards, row.cards);
        EXPECT_EQ(hand.m_nHCP, row.points);
    }
    EXPECT_EQ(hand.m_suitMask[SPADES] * 0x10000 + hand.m_suitMask[CLUBS], 0x1C000001);
    EXPECT_EQ(hand.m_nUnknown[HEARTS] + hand.m_nUnknown[DIAMONDS] * 2, 3);
}

// Card names as error texts use them; taking one hand's cards from another, as a deal does for the rest.
TEST(Cards, NamesAndRemove) {
    const std::pair<int, const char16_t *> names[] = {{CARD_X, u"x"}, {CARD_UNKNOWN, u"?"}, {-1, u""}, {52, u""}};
    for (const auto &[code, name] : names) // nothing is read past the tables
        EXPECT_EQ(CCards::GetCardName(code), name) << code;
    std::u16string held = u"AKQ2.K.x.3", taken = u"AQ.?.x.", missing = u"K.T";
    CCards hand, other;
    hand.Parse(held); // a card given need not be held
    other.Parse(taken);
    EXPECT_TRUE(hand.Remove(other));
    EXPECT_EQ(hand.m_suitMask[SPADES], (1 << 11) | 1);
    EXPECT_EQ(hand.m_nCards, 5); // unnamed cards stay
    other.Parse(missing);
    EXPECT_FALSE(hand.Remove(other));                // the heart ten is not held, the king goes anyway
    EXPECT_EQ(hand.m_nCards * 10 + hand.m_nHCP, 43); // the spades two, the hearts king, x, the clubs three
}
