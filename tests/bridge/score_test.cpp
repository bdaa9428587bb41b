#include "bridge/score.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

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
        CScore contract{.m_nLevel = level, .m_nStrain = strain, .m_nDoubled = doubled, .m_bKnown = true};
        const int ours = contract.ComputeScore(vul != 0, tricks);
        EXPECT_TRUE(ours == tableScore && ours == formulaScore) << ours << " for " << line;
    }
    EXPECT_EQ(pclose(pipe.release()), 0) << "is tclsh installed, and Debian's deal package?";
    EXPECT_EQ(cases, 7 * 5 * 3 * 2 * 14);
    // An unknown contract and a pass score nothing; a strain outside the table has no trick value.
    CScore unknown{.m_nLevel = 4}, pass{.m_bKnown = true}, offTable{.m_nLevel = 2, .m_nStrain = 7, .m_bKnown = true};
    EXPECT_EQ(unknown.ComputeScore(true, 10) + pass.ComputeScore(true, 2), 0);
    EXPECT_TRUE(unknown.m_bValid && pass.m_bValid);
    EXPECT_EQ(unknown.m_nTricks * 100 + pass.m_nTricks, 1006);
    EXPECT_EQ(offTable.ComputeScore(false, 9), 50);
}
