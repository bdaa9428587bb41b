#include "../scratch_test.h"
#include "bridge/score.h"

#include <sstream>

// Every contract, doubling, vulnerability and result against the scorer of Debian's `deal` package, both its
// score table and its formula, run with tclsh.
TEST(Score, AgreesWithDealPackageScorer) {
    const ProgramResult run = RunProgram(BRIDGE_TCLSH, {BRIDGE_SCORE_ORACLE, DEAL_SCORE_TCL});
    ASSERT_EQ(run.exitCode, 0) << "is tclsh installed, and Debian's deal package?\n" << run.output;
    std::istringstream in(run.output);
    int cases = 0, level, strain, doubled, vul, tricks, table, formula;
    for (; in >> level >> strain >> doubled >> vul >> tricks >> table >> formula; ++cases) {
        CScore contract{.m_nLevel = level, .m_nStrain = strain, .m_nDoubled = doubled, .m_bKnown = true};
        const int ours = contract.ComputeScore(vul != 0, tricks);
        EXPECT_TRUE(ours == table && ours == formula)
            << ours << " for " << level << " " << strain << " " << doubled << " " << vul << " " << tricks;
    }
    EXPECT_EQ(cases, 7 * 5 * 3 * 2 * 14);
}
