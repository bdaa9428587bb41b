#include "bridge/bridge_codes.h"
#include "bridge/score.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

int Score(int level, int strain, int doubled, bool vulnerable, int tricks) {
    CScore score;
    score.m_bKnown = true;
    score.m_nDeclarer = NORTH;
    score.m_nLevel = level;
    score.m_nStrain = strain;
    score.m_nDoubled = doubled;
    return score.ComputeScore(vulnerable, tricks);
}

} // namespace

TEST(ScoreCompute, UnknownContractsAndPasses) {
    CScore unknown;
    unknown.m_nLevel = 4;
    EXPECT_EQ(unknown.ComputeScore(true, 10), 0);
    EXPECT_TRUE(unknown.m_bValid);
    EXPECT_EQ(unknown.m_nTricks, 10);

    CScore pass;
    pass.m_bKnown = true;
    EXPECT_EQ(pass.ComputeScore(true, 2), 0);
    EXPECT_TRUE(pass.m_bValid);
    EXPECT_EQ(pass.m_nTricks, 6);
}

TEST(ScoreCompute, StrainOutsideTheTableHasNoTrickValue) {
    EXPECT_EQ(Score(2, 7, 0, false, 9), 50);
}

// Every contract, doubling, vulnerability and result against the scorer of Debian's `deal` package, both its
// score table and its formula, run with tclsh.
TEST(ScoreCompute, AgreesWithDealPackageScorer) {
    const std::string command =
        std::string("'") + BRIDGE_TCLSH + "' '" + BRIDGE_SCORE_ORACLE + "' '" + DEAL_SCORE_TCL + "'";
    std::unique_ptr<FILE, int (*)(FILE *)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_TRUE(pipe) << command;
    int cases = 0;
    int level, strain, doubled, vul, tricks, tableScore, formulaScore;
    while (fscanf(pipe.get(), "%d %d %d %d %d %d %d", &level, &strain, &doubled, &vul, &tricks, &tableScore,
                  &formulaScore) == 7) {
        const int ours = Score(level, strain, doubled, vul != 0, tricks);
        EXPECT_EQ(ours, tableScore) << level << " " << strain << " x" << doubled << " vul " << vul << " tricks "
                                    << tricks;
        EXPECT_EQ(ours, formulaScore) << level << " " << strain << " x" << doubled << " vul " << vul << " tricks "
                                      << tricks;
        ++cases;
    }
    EXPECT_EQ(pclose(pipe.release()), 0) << "is tclsh installed, and Debian's deal package?";
    EXPECT_EQ(cases, 7 * 5 * 3 * 2 * 14);
}

TEST(ScoreText, PlainAndMarkedUp) {
    const struct {
        int declarer, seatMask, level, strain, doubled;
        const char16_t *plain, *markedUp;
    } rows[] = {
        {NORTH, 1 << SOUTH, 4, SPADES, 1, u"4S*-NS", u"NS\u00A04\\Sx"},
        {WEST, (1 << EAST) | (1 << SOUTH) | (1 << NORTH), 4, NOTRUMP, 2, u"4NT**-NSEW", u"NSEW\u00A04Nxx"},
        {EAST, 0, 0, 0, 0, u"Pass-E", u"E\u00A0Pass"},
        {-1, 0, 2, DIAMONDS, 0, u"2D-", u"\u00A02\\D"}, // nobody declares
    };
    for (const auto &row : rows) {
        CScore score;
        score.m_nDeclarer = row.declarer;
        score.m_nSeatMask = row.seatMask;
        score.m_nLevel = row.level;
        score.m_nStrain = row.strain;
        score.m_nDoubled = row.doubled;
        EXPECT_EQ(score.GetText(true), row.plain);
        EXPECT_EQ(score.GetText(false), row.markedUp);
    }
}
