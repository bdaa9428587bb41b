#include "bridge/bridge_codes.h"
#include "bridge/score.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

CScore Contract(int level, int strain, int doubled, int declarer = NORTH, int seatMask = 0) {
    return {.m_nDeclarer = declarer,
            .m_nSeatMask = seatMask,
            .m_nLevel = level,
            .m_nStrain = strain,
            .m_nDoubled = doubled,
            .m_bKnown = true};
}

} // namespace

// Every contract, doubling, vulnerability and result against the scorer of Debian's `deal` package, both its
// score table and its formula, run with tclsh.
TEST(Score, AgreesWithDealPackageScorer) {
    const std::string command =
        std::string("'") + BRIDGE_TCLSH + "' '" + BRIDGE_SCORE_ORACLE + "' '" + DEAL_SCORE_TCL + "'";
    std::unique_ptr<FILE, int (*)(FILE *)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_TRUE(pipe) << command;
    int cases = 0, level, strain, doubled, vul, tricks, tableScore, formulaScore;
    for (char line[200]; fgets(line, sizeof line, pipe.get()); ++cases) {
        ASSERT_EQ(
            sscanf(line, "%d %d %d %d %d %d %d", &level, &strain, &doubled, &vul, &tricks, &tableScore, &formulaScore),
            7);
        const int ours = Contract(level, strain, doubled).ComputeScore(vul != 0, tricks);
        EXPECT_TRUE(ours == tableScore && ours == formulaScore) << ours << " for " << line;
    }
    EXPECT_EQ(pclose(pipe.release()), 0) << "is tclsh installed, and Debian's deal package?";
    EXPECT_EQ(cases, 7 * 5 * 3 * 2 * 14);
    // An unknown contract and a pass score nothing; a strain outside the table has no trick value.
    CScore unknown{.m_nLevel = 4}, pass = Contract(0, 0, 0);
    EXPECT_EQ(unknown.ComputeScore(true, 10) + pass.ComputeScore(true, 2), 0);
    EXPECT_TRUE(unknown.m_bValid && pass.m_bValid);
    EXPECT_EQ(unknown.m_nTricks * 100 + pass.m_nTricks, 1006);
    EXPECT_EQ(Contract(2, 7, 0).ComputeScore(false, 9), 50);
}

TEST(Score, PlainAndMarkedUpTexts) {
    const struct {
        CScore contract;
        const char16_t *plain, *markedUp;
    } rows[] = {
        {Contract(4, SPADES, 1, NORTH, 1 << SOUTH), u"4S*-NS", u"NS\u00A04\\Sx"},
        {Contract(4, NOTRUMP, 2, WEST, (1 << EAST) | (1 << SOUTH) | (1 << NORTH)), u"4NT**-NSEW", u"NSEW\u00A04Nxx"},
        {Contract(0, 0, 0, EAST), u"Pass-E", u"E\u00A0Pass"},
        {Contract(2, DIAMONDS, 0, -1), u"2D-", u"\u00A02\\D"}, // nobody declares
    };
    for (const auto &row : rows) {
        EXPECT_EQ(row.contract.GetText(true), row.plain);
        EXPECT_EQ(row.contract.GetText(false), row.markedUp);
    }
}
