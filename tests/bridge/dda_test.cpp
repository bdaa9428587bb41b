#include "bridge/dda.h"

#include <gtest/gtest.h>

namespace {

// A complete table where nobody makes anything but the cells given.
CDDA Table(std::initializer_list<std::tuple<int, int, int>> cells) {
    CDDA dda;
    for (int seat = 0; seat < SEATS; ++seat)
        for (int strain = 0; strain < STRAINS; ++strain)
            dda.SetTricks(seat, strain, 6);
    for (auto [seat, strain, tricks] : cells)
        dda.SetTricks(seat, strain, static_cast<uint8_t>(tricks));
    return dda;
}

} // namespace

TEST(DDAMakeable, ClearedTableHasNone) {
    CDDA dda;
    EXPECT_FALSE(dda.IsComplete());
    EXPECT_EQ(dda.GetMakeableContracts(), u"");
    EXPECT_EQ(Table({}).GetMakeableContracts(), u"");
}

TEST(DDAMakeable, ShapeOfTheList) {
    CDDA dda = Table({{NORTH, SPADES, 10}, {SOUTH, SPADES, 10}, {NORTH, NOTRUMP, 9}, {EAST, CLUBS, 8}});
    EXPECT_EQ(dda.GetMakeableContracts(), u"NS\u00A04\\S; N\u00A03N; E\u00A02\\C");
    ASSERT_EQ(dda.m_scores.size(), 4u);
    EXPECT_EQ(dda.m_scores[0].m_nScore, 420);
    EXPECT_EQ(dda.m_scores[2].m_nScore, 400);
    EXPECT_EQ(dda.m_scores[3].m_nScore, 90);
}

TEST(DDAMakeable, PartnersMergeOnlyWithTheSameResult) {
    EXPECT_EQ(Table({{NORTH, SPADES, 10}, {SOUTH, SPADES, 11}}).GetMakeableContracts(), u"S\u00A05\\S; N\u00A04\\S");
    EXPECT_EQ(Table({{EAST, HEARTS, 8}, {WEST, HEARTS, 8}}).GetMakeableContracts(), u"EW\u00A02\\H");
    EXPECT_EQ(Table({{EAST, HEARTS, 8}, {WEST, SPADES, 8}}).GetMakeableContracts(), u"W\u00A02\\S; E\u00A02\\H");
}

TEST(DDAMakeable, EqualScoresOrderByStrainThenSeat) {
    EXPECT_EQ(Table({{NORTH, CLUBS, 11}, {NORTH, NOTRUMP, 9}}).GetMakeableContracts(), u"N\u00A03N; N\u00A05\\C");
    EXPECT_EQ(Table({{EAST, CLUBS, 8}, {EAST, NOTRUMP, 7}}).GetMakeableContracts(), u"E\u00A01N; E\u00A02\\C");
    EXPECT_EQ(Table({{SOUTH, HEARTS, 10}, {SOUTH, SPADES, 10}}).GetMakeableContracts(), u"S\u00A04\\S; S\u00A04\\H");
    // North, South, East, West; East is not South's partner, so nothing merges.
    EXPECT_EQ(Table({{WEST, DIAMONDS, 9}, {EAST, DIAMONDS, 9}, {SOUTH, DIAMONDS, 9}}).GetMakeableContracts(),
              u"S\u00A03\\D; EW\u00A03\\D");
}

TEST(DDAMakeable, SlamsAndGrandSlams) {
    CDDA dda = Table({{WEST, NOTRUMP, 13}, {NORTH, HEARTS, 12}});
    EXPECT_EQ(dda.GetMakeableContracts(), u"W\u00A07N; N\u00A06\\H");
    EXPECT_EQ(dda.m_scores[0].m_nScore, 1520);
    EXPECT_EQ(dda.m_scores[1].m_nScore, 980);
}

TEST(DDAMakeable, CacheFollowsTheCells) {
    CDDA dda = Table({{NORTH, SPADES, 10}});
    EXPECT_EQ(dda.GetMakeableContracts(), u"N\u00A04\\S");
    EXPECT_EQ(dda.m_strContracts, u"N\u00A04\\S");
    dda.SetTricks(NORTH, SPADES, 7);
    EXPECT_EQ(dda.m_strContracts, u"");
    EXPECT_EQ(dda.m_scores.capacity(), 0u);
    EXPECT_EQ(dda.GetMakeableContracts(), u"N\u00A01\\S");
    // An invalid cell written behind the table's back still yields nothing, cache or not.
    dda.m_tricks[WEST][CLUBS] = 14;
    EXPECT_EQ(dda.GetMakeableContracts(), u"");
    EXPECT_EQ(dda.m_strContracts, u"N\u00A01\\S");
    dda.Clear();
    EXPECT_EQ(dda.m_strContracts, u"");
    EXPECT_EQ(dda.m_tricks[SOUTH][HEARTS], DDA_NO_VALUE);
}

TEST(DDAMakeable, CompareOrdersEveryPairStrictly) {
    CDDAScore a{NOTRUMP, SOUTH, 9, 400};
    CDDAScore b{CLUBS, NORTH, 11, 400};
    EXPECT_LT(CompareDDAScore(a, b), 0);
    EXPECT_GT(CompareDDAScore(b, a), 0);
    CDDAScore c{NOTRUMP, EAST, 9, 400};
    EXPECT_LT(CompareDDAScore(a, c), 0);
    CDDAScore d{NOTRUMP, EAST, 10, 430};
    EXPECT_LT(CompareDDAScore(d, a), 0);
}
