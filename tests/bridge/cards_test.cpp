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

void ExpectInvariants(const CCards &hand) {
    int cards = 0;
    int points = 0;
    for (int suit = 0; suit < SUITS; ++suit) {
        int known = 0;
        for (int rank = 0; rank < RANKS; ++rank)
            if (hand.m_suitMask[suit] & (1 << rank)) {
                ++known;
                points += HighCardPoints(rank);
            }
        EXPECT_EQ(hand.m_nKnown[suit], known) << "suit " << suit;
        cards += known + hand.m_nUnknown[suit];
    }
    EXPECT_EQ(hand.m_nCards, cards);
    EXPECT_EQ(hand.m_nHCP, points);
}

} // namespace

TEST(CardsParse, FullHandCountsAndPoints) {
    auto p = ParseHand(u"AKQ.JT9.876.5432");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.hand.m_nError, HAND_ERROR_NONE);
    EXPECT_EQ(p.hand.m_nCards, 13);
    EXPECT_EQ(p.hand.m_nHCP, 10);
    EXPECT_EQ(p.hand.m_suitMask[SPADES], 0x1C00);
    EXPECT_EQ(p.hand.m_suitMask[CLUBS], 0x000F);
    EXPECT_EQ(p.hand.m_nKnown[HEARTS], 3);
    ExpectInvariants(p.hand);
}

TEST(CardsParse, DashAndEmptyAreVoidHands) {
    for (const char16_t *text : {u"-", u""}) {
        auto p = ParseHand(text);
        EXPECT_TRUE(p.ok);
        EXPECT_EQ(p.hand.m_nCards, 0);
    }
    auto p = ParseHand(u"--");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.hand.m_nError, HAND_ERROR_INVALID_CHARACTER);
    EXPECT_EQ(p.hand.m_strError, u"- -");
}

TEST(CardsParse, FiveGroupsAreTooManySuits) {
    auto p = ParseHand(u"AKQ.JT.9.8.7");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.hand.m_nError, HAND_ERROR_TOO_MANY_SUITS);
    EXPECT_EQ(p.hand.m_strError, u"");
    EXPECT_EQ(p.hand.m_nCards, 7); // the fifth group is not read
    // A shorter text leaves the missing suits empty.
    auto q = ParseHand(u"AKQ.JT");
    EXPECT_TRUE(q.ok);
    EXPECT_EQ(q.hand.m_nCards, 5);
}

TEST(CardsParse, DuplicateCardsAreNamed) {
    auto p = ParseHand(u"AKA.2.3.4");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.hand.m_nError, HAND_ERROR_DUPLICATE_CARD);
    EXPECT_EQ(p.hand.m_strError, u"SA");
    EXPECT_EQ(p.hand.m_suitMask[SPADES], 0x1800);
    ExpectInvariants(p.hand);

    auto q = ParseHand(u"AKA.KK.3.22");
    EXPECT_EQ(q.hand.m_strError, u"SA HK C2");
}

TEST(CardsParse, FirstErrorKindWins) {
    auto p = ParseHand(u"AKZ.Q.J.TT");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.hand.m_nError, HAND_ERROR_INVALID_CHARACTER);
    EXPECT_EQ(p.hand.m_strError, u"Z");
    EXPECT_EQ(p.hand.m_nCards, 5); // every card read, before and after the bad character, once
    ExpectInvariants(p.hand);

    auto q = ParseHand(u"AA.Z.1.");
    EXPECT_EQ(q.hand.m_nError, HAND_ERROR_DUPLICATE_CARD);
    EXPECT_EQ(q.hand.m_strError, u"SA");
}

TEST(CardsParse, LowerCaseIsUpperCasedInPlace) {
    auto p = ParseHand(u"akq.x.?.2");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.text, u"AKQ.x.?.2");
    EXPECT_EQ(p.hand.m_nUnknown[HEARTS], 1);
    EXPECT_EQ(p.hand.m_nUnknown[DIAMONDS], 1);
    EXPECT_EQ(p.hand.m_nCards, 6);
    EXPECT_EQ(p.hand.m_nHCP, 9);
    ExpectInvariants(p.hand);

    // 'X' and '1' are no ranks; the error text keeps the character as written.
    auto q = ParseHand(u"X1.z");
    EXPECT_EQ(q.hand.m_strError, u"X 1 z");
    EXPECT_EQ(q.text, u"X1.Z");

    // Upper-casing is that of the default "C" locale: small letters beyond ASCII stay as they are in the text.
    auto r = ParseHand(u"AK\u00e9.q\u00df.\u0442");
    EXPECT_EQ(r.hand.m_nError, HAND_ERROR_INVALID_CHARACTER);
    EXPECT_EQ(r.hand.m_strError, u"\u00e9 \u00df \u0442");
    EXPECT_EQ(r.text, u"AK\u00e9.Q\u00df.\u0442");
    EXPECT_EQ(r.hand.m_nHCP, 9);
}

TEST(CardsParse, UnnamedCardsAfterTheFourthSuitAreIgnored) {
    auto p = ParseHand(u"x.x.x.x.x?z");
    EXPECT_EQ(p.hand.m_nError, HAND_ERROR_TOO_MANY_SUITS);
    EXPECT_EQ(p.hand.m_nCards, 4);
}

TEST(CardsParse, ReparseResetsEverything) {
    CCards hand;
    std::u16string bad = u"AA.Q";
    EXPECT_FALSE(hand.Parse(bad));
    std::u16string good = u".K";
    EXPECT_TRUE(hand.Parse(good));
    EXPECT_EQ(hand.m_nError, HAND_ERROR_NONE);
    EXPECT_EQ(hand.m_strError, u"");
    EXPECT_EQ(hand.m_nCards, 1);
    EXPECT_EQ(hand.m_suitMask[SPADES], 0);
}

TEST(CardsNames, CardNamesAndUnnamedCards) {
    EXPECT_EQ(CCards::GetCardName(48), u"SA");
    EXPECT_EQ(CCards::GetCardName(35), u"CT");
    EXPECT_EQ(CCards::GetCardName(3), u"C2");
    EXPECT_EQ(CCards::GetCardName(CARD_X), u"x");
    EXPECT_EQ(CCards::GetCardName(CARD_UNKNOWN), u"?");
}

TEST(CardsNames, CodesOutsideThePackNameNothing) {
    for (int code : {-1, -4, 52, 53, 1000, -1000})
        EXPECT_EQ(CCards::GetCardName(code), u"") << code;
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
    ExpectInvariants(p.hand);

    auto r = ParseHand(u"K.T");
    EXPECT_FALSE(p.hand.Remove(r.hand)); // the heart ten is not held, the king goes anyway
    EXPECT_EQ(p.hand.m_suitMask[SPADES], 0);
    ExpectInvariants(p.hand);
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
