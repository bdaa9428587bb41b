#include "bridge/dda.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

// A complete table where nobody makes anything but the cells given (seat, strain, tricks).
CDDA Table(const std::vector<std::tuple<int, int, int>> &cells) {
    CDDA dda;
    for (int cell = 0; cell < SEATS * STRAINS; ++cell)
        dda.SetTricks(cell % SEATS, cell / SEATS, 6);
    for (auto [seat, strain, tricks] : cells)
        dda.SetTricks(seat, strain, static_cast<uint8_t>(tricks));
    return dda;
}

} // namespace

// The list, partners with the same result merged, in order: best score, then strain, then North, South, East,
// West (East is not South's partner).
TEST(DDA, MakeableContractsFollowTheCells) {
    const struct {
        CDDA dda;
        const char16_t *expected;
    } rows[] = {
        {Table({}), u""},
        {Table({{NORTH, SPADES, 10}, {SOUTH, SPADES, 10}, {NORTH, NOTRUMP, 9}, {EAST, CLUBS, 8}}),
         u"NS\u00A04\\S; N\u00A03N; E\u00A02\\C"},
        {Table({{NORTH, SPADES, 10}, {SOUTH, SPADES, 11}}), u"S\u00A05\\S; N\u00A04\\S"},
        {Table({{EAST, HEARTS, 8}, {WEST, SPADES, 8}}), u"W\u00A02\\S; E\u00A02\\H"},
        {Table({{NORTH, CLUBS, 11}, {NORTH, NOTRUMP, 9}}), u"N\u00A03N; N\u00A05\\C"},
        {Table({{EAST, CLUBS, 8}, {EAST, NOTRUMP, 7}}), u"E\u00A01N; E\u00A02\\C"},
        {Table({{SOUTH, HEARTS, 10}, {SOUTH, SPADES, 10}}), u"S\u00A04\\S; S\u00A04\\H"},
        {Table({{WEST, DIAMONDS, 9}, {EAST, DIAMONDS, 9}, {SOUTH, DIAMONDS, 9}}), u"S\u00A03\\D; EW\u00A03\\D"},
        {Table({{WEST, NOTRUMP, 13}, {NORTH, HEARTS, 12}}), u"W\u00A07N; N\u00A06\\H"},
    };
    for (auto row : rows)
        EXPECT_EQ(row.dda.GetMakeableContracts(), row.expected);
    // The list and its scores are kept until a cell changes; an incomplete table has none, kept or not.
    CDDA dda = Table({{NORTH, NOTRUMP, 9}});
    EXPECT_EQ(dda.GetMakeableContracts(), u"N\u00A03N");
    EXPECT_EQ(dda.m_scores.at(0).m_nScore, 400); // with the game bonus
    dda.SetTricks(NORTH, NOTRUMP, 7);
    EXPECT_TRUE(dda.m_strContracts.empty() && dda.m_scores.empty());
    EXPECT_EQ(dda.GetMakeableContracts(), u"N\u00A01N");
    dda.m_tricks[WEST][CLUBS] = 14; // written behind the table's back
    EXPECT_EQ(dda.GetMakeableContracts(), u"");
    dda.Clear();
    EXPECT_EQ(dda.m_strContracts, u"");
    EXPECT_EQ(dda.m_tricks[SOUTH][HEARTS], DDA_NO_VALUE);
}
