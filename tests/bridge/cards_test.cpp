#include "bridge/bridge_codes.h"
#include "bridge/cards.h"

#include <gtest/gtest.h>

namespace {

struct Parsed {
    CCards hand;
    bool ok;
    std::u16string text;
};

Parsed ParseHand(std::u16string text) {
    Parsed p{CCards(), false, std::move(text)};
    p.ok = p.hand.Parse(p.text);
    return p;
}

} // namespace

// Hands as the page writes them: the parse result, the error kind and text, the text upper-cased in place, the
// cards and points read (every card before and after a bad character is read once; a fifth group is not).
TEST(CardsParse, HandsAndErrors) {
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
        {u"", true, HAND_ERROR_NONE, u"", u"", 0, 0},
        {u"AKQ.JT", true, HAND_ERROR_NONE, u"", u"AKQ.JT", 5, 10}, // missing suits stay empty
        {u"--", false, HAND_ERROR_INVALID_CHARACTER, u"- -", u"--", 0, 0},
        {u"AKQ.JT.9.8.7", false, HAND_ERROR_TOO_MANY_SUITS, u"", u"AKQ.JT.9.8.7", 7, 10},
        {u"x.x.x.x.x?z", false, HAND_ERROR_TOO_MANY_SUITS, u"", u"x.x.x.x.x?z", 4, 0},
        {u"AKA.2.3.4", false, HAND_ERROR_DUPLICATE_CARD, u"SA", u"AKA.2.3.4", 5, 7},
        {u"AKA.KK.3.22", false, HAND_ERROR_DUPLICATE_CARD, u"SA HK C2", u"AKA.KK.3.22", 5, 10},
        // The first kind of error wins; every card is still read.
        {u"AKZ.Q.J.TT", false, HAND_ERROR_INVALID_CHARACTER, u"Z", u"AKZ.Q.J.TT", 5, 10},
        {u"AA.Z.1.", false, HAND_ERROR_DUPLICATE_CARD, u"SA", u"AA.Z.1.", 1, 4},
        // 'X' and '1' are no ranks; the error text keeps the character as written.
        {u"X1.z", false, HAND_ERROR_INVALID_CHARACTER, u"X 1 z", u"X1.Z", 0, 0},
        // Upper-casing is that of the default "C" locale: small letters beyond ASCII stay as they are.
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
    auto full = ParseHand(u"AKQ.JT9.876.5432");
    EXPECT_EQ(full.hand.m_suitMask[SPADES], 0x1C00);
    EXPECT_EQ(full.hand.m_suitMask[CLUBS], 0x000F);
    auto unnamed = ParseHand(u"akq.x.?.2");
    EXPECT_EQ(unnamed.hand.m_nUnknown[HEARTS], 1);
    EXPECT_EQ(unnamed.hand.m_nUnknown[DIAMONDS], 1);
}

TEST(CardsNames, CardNamesAndCodesOutsideThePack) {
    EXPECT_EQ(CCards::GetCardName(48), u"SA");
    EXPECT_EQ(CCards::GetCardName(35), u"CT");
    EXPECT_EQ(CCards::GetCardName(3), u"C2");
    EXPECT_EQ(CCards::GetCardName(CARD_X), u"x");
    EXPECT_EQ(CCards::GetCardName(CARD_UNKNOWN), u"?");
    for (int code : {-1, -4, 52, 53, 1000, -1000})
        EXPECT_EQ(CCards::GetCardName(code), u"") << code; // nothing is read past the tables
}

TEST(CardsNextCard, WalksSpadesAceDownThenTheOtherSuits) {
    auto p = ParseHand(u"A2.K.-.3");
    // The '-' in the diamond group is an invalid character; walking needs only the cards read.
    std::vector<std::u16string> names;
    for (int code = p.hand.GetNextCard(-1); code >= 0; code = p.hand.GetNextCard(code))
        names.push_back(CCards::GetCardName(code));
    EXPECT_EQ(names, (std::vector<std::u16string>{u"SA", u"S2", u"HK", u"C3"}));

    auto q = ParseHand(u"...2");
    EXPECT_EQ(q.hand.GetNextCard(-1), 3);
    EXPECT_EQ(q.hand.GetNextCard(3), -1);
    // The card given need not be held: after the queen of spades comes the next lower spade held.
    EXPECT_EQ(p.hand.GetNextCard(40), 0);
    EXPECT_EQ(CCards().GetNextCard(-1), -1);
}

TEST(CardsRemove, RemovesHeldCardsAndReportsMissingOnes) {
    auto p = ParseHand(u"AKQ.J.x.2");
    auto q = ParseHand(u"AQ.?.x.");
    EXPECT_TRUE(p.hand.Remove(q.hand));
    EXPECT_EQ(p.hand.m_suitMask[SPADES], 1 << 11);
    EXPECT_EQ(p.hand.m_nCards, 4); // unnamed cards stay
    EXPECT_EQ(p.hand.m_nUnknown[DIAMONDS], 1);

    auto r = ParseHand(u"K.T");
    EXPECT_FALSE(p.hand.Remove(r.hand)); // the heart ten is not held, the king goes anyway
    EXPECT_EQ(p.hand.m_suitMask[SPADES], 0);
    EXPECT_TRUE(p.hand.Remove(CCards()));
}

TEST(CardsCopy, CopyAndSwapLeaveErrorsBehind) {
    auto p = ParseHand(u"AKA.Q");
    CCards copy(p.hand);
    EXPECT_EQ(copy.m_nError, HAND_ERROR_NONE);
    EXPECT_EQ(copy.m_strError, u"");
    EXPECT_EQ(copy.m_nCards, p.hand.m_nCards);
    EXPECT_EQ(copy.m_suitMask[HEARTS], p.hand.m_suitMask[HEARTS]);

    auto q = ParseHand(u".x.KJ");
    SwapCards(p.hand, q.hand);
    EXPECT_EQ(p.hand.m_nError, HAND_ERROR_DUPLICATE_CARD);
    EXPECT_EQ(p.hand.m_nUnknown[HEARTS], 1);
    EXPECT_EQ(p.hand.m_nHCP, 4);
    EXPECT_EQ(q.hand.m_nError, HAND_ERROR_NONE);
    EXPECT_EQ(q.hand.m_nHCP, 9);
    SwapCards(q.hand, q.hand);
    EXPECT_EQ(q.hand.m_nHCP, 9);
}
