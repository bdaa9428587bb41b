#include "bridge/dda.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Cells = std::vector<std::tuple<int, int, int>>;

// A complete table where nobody makes anything but the cells given.
CDDA Table(const Cells &cells) {
    CDDA dda;
    for (int seat = 0; seat < SEATS; ++seat)
        for (int strain = 0; strain < STRAINS; ++strain)
            dda.SetTricks(seat, strain, 6);
    for (auto [seat, strain, tricks] : cells)
        dda.SetTricks(seat, strain, static_cast<uint8_t>(tricks));
    return dda;
}

} // namespace

TEST(DDAMakeable, ListShapeMergingAndOrder) {
    EXPECT_EQ(CDDA().GetMakeableContracts(), u""); // an incomplete table
    const struct {
        Cells cells;
        std::u16string expected;
        std::vector<int> scores;
    } rows[] = {
        {{}, u"", {}},
        {{{NORTH, SPADES, 10}, {SOUTH, SPADES, 10}, {NORTH, NOTRUMP, 9}, {EAST, CLUBS, 8}},
         u"NS\u00A04\\S; N\u00A03N; E\u00A02\\C",
         {420, 420, 400, 90}},
        // Partners merge only with the same result.
        {{{NORTH, SPADES, 10}, {SOUTH, SPADES, 11}}, u"S\u00A05\\S; N\u00A04\\S", {}},
        {{{EAST, HEARTS, 8}, {WEST, HEARTS, 8}}, u"EW\u00A02\\H", {}},
        {{{EAST, HEARTS, 8}, {WEST, SPADES, 8}}, u"W\u00A02\\S; E\u00A02\\H", {}},
        // Equal scores order by strain, then by seat: North, South, East, West (East is not South's partner).
        {{{NORTH, CLUBS, 11}, {NORTH, NOTRUMP, 9}}, u"N\u00A03N; N\u00A05\\C", {}},
        {{{EAST, CLUBS, 8}, {EAST, NOTRUMP, 7}}, u"E\u00A01N; E\u00A02\\C", {}},
        {{{SOUTH, HEARTS, 10}, {SOUTH, SPADES, 10}}, u"S\u00A04\\S; S\u00A04\\H", {}},
        {{{WEST, DIAMONDS, 9}, {EAST, DIAMONDS, 9}, {SOUTH, DIAMONDS, 9}}, u"S\u00A03\\D; EW\u00A03\\D", {}},
        {{{WEST, NOTRUMP, 13}, {NORTH, HEARTS, 12}}, u"W\u00A07N; N\u00A06\\H", {1520, 980}},
    };
    for (const auto &row : rows) {
        CDDA dda = Table(row.cells);
        SCOPED_TRACE(testing::PrintToString(row.scores));
        EXPECT_EQ(dda.GetMakeableContracts(), row.expected);
        if (!row.scores.empty()) {
            ASSERT_EQ(dda.m_scores.size(), row.scores.size());
            for (size_t i = 0; i < row.scores.size(); ++i)
                EXPECT_EQ(dda.m_scores[i].m_nScore, row.scores[i]) << i;
        }
    }
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
