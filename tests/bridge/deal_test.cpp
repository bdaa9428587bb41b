#include "bridge/bridge_codes.h"
#include "bridge/deal.h"

#include <gtest/gtest.h>

// Four hands clockwise from the first seat, the cards no hand names, and what a malformed deal leaves filled in.
TEST(Deal, ParseHandsAndRest) {
    const std::u16string hands = u"QJ6.K652.J85.T98 873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ3";
    const struct {
        std::u16string text;
        bool ok;
        int firstSeat;
        const char16_t *north, *east;
        int restCards, restPoints;
    } rows[] = {
        {u"E:" + hands, true, EAST, u"AT942.AQ4.32.KJ3", u"QJ6.K652.J85.T98", 0, 0},
        {u"N:" + hands + u'\0' + u" junk", true, NORTH, u"QJ6.K652.J85.T98", u"873.J97.AT764.Q4", 0, 0}, // ends at NUL
        {u"", true, -1, u"", u"", 52, 40}, // a cleared deal
        {u"n:AK.x.. - - -", true, NORTH, u"AK.x..", u"-", 50, 33},
        {u"e:akq.x.?.2 - - -", true, EAST, u"-", u"AKQ.x.?.2", 48, 31}, // upper-cased in the stored text
        {u"N:AK.. Q.. J..", false, NORTH, u"AK..", u"Q..", 48, 30},     // three hands
        {u"N:" + hands + u" ", false, NORTH, u"QJ6.K652.J85.T98", u"873.J97.AT764.Q4", 0, 0},       // a blank after
        {u"N:" + hands + u" AKQ...", false, NORTH, u"QJ6.K652.J85.T98", u"873.J97.AT764.Q4", 0, 0}, // five hands
        {u"N:", false, NORTH, u"", u"", 52, 40},
        // An unknown first seat fills from North; without the colon the hands start at the second character.
        {u"Q:" + hands, false, NORTH, u"QJ6.K652.J85.T98", u"873.J97.AT764.Q4", 0, 0},
        {u"NAK.. - - -", false, NORTH, u"AK..", u"-", 50, 33},
        // A doubled blank shifts the hands; with three hands it makes four, the empty one a void hand.
        {u"N:QJ6.K652.J85.T98  873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ3", false, NORTH, u"QJ6.K652.J85.T98",
         u"", 13, 14},
        {u"N:QJ6.K652.J85.T98  873.J97.AT764.Q4 K5.T83.KQ9.A7652", true, NORTH, u"QJ6.K652.J85.T98", u"", 13, 14},
        // A bad hand fails the deal but keeps the others.
        {u"W:AKA... Q... J... T...", false, WEST, u"Q...", u"J...", 47, 30},
    };
    CDeal deal; // reused: each parse starts from a cleared deal
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.text));
        EXPECT_EQ(deal.Parse(row.text), row.ok);
        EXPECT_EQ(deal.m_nFirstSeat, row.firstSeat);
        EXPECT_EQ(deal.m_strHands[NORTH], row.north);
        EXPECT_EQ(deal.m_strHands[EAST], row.east);
        EXPECT_EQ(deal.m_rest.m_nCards, row.restCards);
        EXPECT_EQ(deal.m_rest.m_nHCP, row.restPoints);
    }
    EXPECT_EQ(deal.m_hands[WEST].m_nError, HAND_ERROR_DUPLICATE_CARD);
    EXPECT_EQ(deal.m_rest.m_suitMask[SPADES], 0x1FFF & ~0x1F00);
    EXPECT_TRUE(deal.Parse(u"N:" + hands));
    EXPECT_EQ(deal.m_hands[WEST].m_nError, HAND_ERROR_NONE);
}
