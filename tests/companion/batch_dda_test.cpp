// The batch switch "dda" end to end: the dealscope executable analyses a page through the registered companion
// before it writes its outputs, and a companion that is missing or fails ends the run with a non-zero exit
// status, nothing written and no companion process left.
#include "companion_fixture.h"

namespace {

class BatchDdaTest : public CompanionFixture {
protected:
    // Runs dealscope on the test page with `switches`; returns its exit status, its standard error in `errors`.
    int RunDealscope(const std::string &switches, std::string &errors) {
        std::string errorFile = (m_root / "stderr.txt").string();
        std::string command = "cd '" + m_root.string() + "' && '" + std::string(DEALSCOPE_EXE) + "' '" +
                              std::string(DEALSCOPE_TEST_DATA) + "/companion/dda_page.htm' " + switches + " 2>'" +
                              errorFile + "' >/dev/null";
        int status = std::system(command.c_str());
        errors = ReadFile(errorFile);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    size_t Count(const std::string &text, const std::string &what) {
        size_t count = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++count;
        return count;
    }
};

TEST_F(BatchDdaTest, AnalysedOutputsCarryTheDoubleDummyResults) {
    ASSERT_EQ(std::system((std::string(TRICKSMITH_STANDIN) + " --register >/dev/null").c_str()), 0);
    std::string errors;
    ASSERT_EQ(RunDealscope("-dda -pbn out.pbn -text out.txt", errors), 0) << errors;
    std::string pbn = ReadFile(m_root / "out.pbn");
    std::string report = ReadFile(m_root / "out.txt");
    EXPECT_EQ(Count(pbn, "[DoubleDummyTricks \""), 8u);
    EXPECT_EQ(Count(pbn, "[OptimumResultTable \"Declarer;Denomination\\2R;Result\\2R\"]\r\nN NT "), 8u);
    EXPECT_EQ(Count(report, "\r\nPar: "), 8u);
    EXPECT_EQ(Count(report, "\r\nLoTT: "), 8u);
}

TEST_F(BatchDdaTest, MissingCompanionEndsTheRunWithoutOutputs) {
    std::string errors;
    EXPECT_NE(RunDealscope("-dda -pbn out.pbn", errors), 0);
    EXPECT_NE(errors.find("Tricksmith.Object:"), std::string::npos) << errors;
    EXPECT_NE(errors.find("Class not registered"), std::string::npos) << errors;
    EXPECT_FALSE(std::filesystem::exists(m_root / "out.pbn"));
}

TEST_F(BatchDdaTest, FailingCompanionEndsTheRunWithoutOutputsOrProcesses) {
    Register(FAKE_COMPANION);
    for (const char *mode : {"crash-mid-board", "garbage"}) {
        setenv("FAKE_COMPANION_MODE", mode, 1);
        std::string errors;
        EXPECT_NE(RunDealscope("-dda -pbn out.pbn -text out.txt", errors), 0) << mode;
        EXPECT_NE(errors.find("Tricksmith"), std::string::npos) << mode << ": " << errors;
        EXPECT_FALSE(std::filesystem::exists(m_root / "out.pbn")) << mode;
        EXPECT_FALSE(std::filesystem::exists(m_root / "out.txt")) << mode;
    }
    std::vector<pid_t> pids = FakePids();
    EXPECT_EQ(pids.size(), 2u);
    for (pid_t pid : pids)
        EXPECT_TRUE(ProcessGone(pid)) << pid;
}

} // namespace
