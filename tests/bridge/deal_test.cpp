#include "bridge/bridge_codes.h"
#include "bridge/deal.h"

#include <gtest/gtest.h>

namespace {
const std::u16string HANDS = u"QJ6.K652.J85.T98 873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ3";
}

TEST(DealParse, FourHandsClockwiseFromTheFirstSeat) {
    CDeal deal;
    ASSERT_TRUE(deal.Parse(u"E:" + HANDS));
    EXPECT_EQ(deal.m_nFirstSeat, EAST);
    EXPECT_EQ(deal.m_strHands[EAST], u"QJ6.K652.J85.T98");
    EXPECT_EQ(deal.m_strHands[NORTH], u"AT942.AQ4.32.KJ3");
    int points = 0;
    for (int seat = 0; seat < SEATS; ++seat) {
        EXPECT_TRUE(deal.m_bHandGiven[seat]);
        EXPECT_EQ(deal.m_hands[seat].m_nCards, 13);
        points += deal.m_hands[seat].m_nHCP;
    }
    EXPECT_EQ(points, 40);
    EXPECT_EQ(deal.m_rest.m_nCards, 0);
    EXPECT_EQ(deal.m_rest.m_nHCP, 0);
    // The text ends at its first NUL.
    EXPECT_TRUE(deal.Parse(u"N:" + HANDS + std::u16string(1, u'\0') + u" junk"));
}

TEST(DealParse, RestHoldsTheCardsNoHandNames) {
    CDeal deal;
    EXPECT_TRUE(deal.Parse(u"")); // a cleared deal
    EXPECT_EQ(deal.m_nFirstSeat, -1);
    EXPECT_FALSE(deal.m_bHandGiven[NORTH]);
    EXPECT_EQ(deal.m_rest.m_nCards, 52);
    EXPECT_EQ(deal.m_rest.m_nHCP, 40);
    EXPECT_EQ(deal.m_rest.m_suitMask[CLUBS], 0x1FFF);
    ASSERT_TRUE(deal.Parse(u"n:AK.x.. - - -"));
    EXPECT_EQ(deal.m_strHands[NORTH], u"AK.x..");
    EXPECT_EQ(deal.m_rest.m_nCards, 50);
    EXPECT_EQ(deal.m_rest.m_nHCP, 33);
    EXPECT_EQ(deal.m_rest.m_nKnown[SPADES], 11);
    // Lower-case hands are upper-cased in the stored text.
    ASSERT_TRUE(deal.Parse(u"s:akq.x.?.2 - - -"));
    EXPECT_EQ(deal.m_nFirstSeat, SOUTH);
    EXPECT_EQ(deal.m_strHands[SOUTH], u"AKQ.x.?.2");
}

TEST(DealParse, MalformedDeals) {
    CDeal deal;
    EXPECT_FALSE(deal.Parse(u"N:AK.. Q.. J..")); // three hands
    EXPECT_TRUE(deal.m_bHandGiven[SOUTH]);
    EXPECT_FALSE(deal.m_bHandGiven[WEST]);
    for (const std::u16string &text : {u"N:" + HANDS + u" ", u"N:" + HANDS + u" AKQ...", std::u16string(u"N"),
                                       std::u16string(u"N:")}) // a blank after the fourth hand, five hands, ...
        EXPECT_FALSE(deal.Parse(text)) << testing::PrintToString(text);
    // An unknown first seat fills from North and fails; without the colon the hands start at the second character.
    EXPECT_FALSE(deal.Parse(u"Q:" + HANDS));
    EXPECT_EQ(deal.m_nFirstSeat, NORTH);
    EXPECT_EQ(deal.m_strHands[NORTH], u"QJ6.K652.J85.T98");
    EXPECT_EQ(deal.m_hands[WEST].m_nCards, 13);
    EXPECT_FALSE(deal.Parse(u"NAK.. - - -"));
    EXPECT_EQ(deal.m_strHands[NORTH], u"AK..");
    // A doubled blank shifts the hands; with three hands it makes four hand texts, the empty one a void hand.
    EXPECT_FALSE(deal.Parse(u"N:QJ6.K652.J85.T98  873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ3"));
    EXPECT_EQ(deal.m_strHands[EAST], u"");
    EXPECT_EQ(deal.m_strHands[SOUTH], u"873.J97.AT764.Q4");
    EXPECT_TRUE(deal.Parse(u"N:QJ6.K652.J85.T98  873.J97.AT764.Q4 K5.T83.KQ9.A7652"));
    EXPECT_EQ(deal.m_hands[EAST].m_nCards, 0);
    // A bad hand fails the deal but keeps the others; the next parse starts from a cleared deal.
    EXPECT_FALSE(deal.Parse(u"W:AKA... Q... J... T..."));
    EXPECT_EQ(deal.m_hands[WEST].m_nError, HAND_ERROR_DUPLICATE_CARD);
    EXPECT_EQ(deal.m_hands[SOUTH].m_suitMask[SPADES], 1 << 8);
    EXPECT_TRUE(deal.Parse(u"N:" + HANDS));
    EXPECT_EQ(deal.m_hands[WEST].m_nError, HAND_ERROR_NONE);
}
