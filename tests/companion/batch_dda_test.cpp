// The batch switch "dda" end to end: the dealscope executable analyses a page through the registered companion
// before it writes its outputs, and a companion that is missing or fails ends the run with a non-zero exit
// status, nothing written and no companion process left.
#include "companion_fixture.h"
#include "conversion/version_info.h"

namespace {

class BatchDdaTest : public CompanionFixture {
protected:
    // Runs dealscope on the page with "-dda -pbn out.pbn -text out.txt"; its exit status, its standard error in
    // `errors`.
    int RunDealscope(std::string &errors, const std::string &page = DEALSCOPE_TEST_DATA "/companion/dda_page.htm") {
        std::string command = "cd '" + m_root.string() + "' && '" DEALSCOPE_EXE "' '" + page +
                              "' -dda -pbn out.pbn -text out.txt 2>stderr.txt >/dev/null";
        int status = std::system(command.c_str());
        errors = ReadFile(m_root / "stderr.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static size_t Count(const std::string &text, const std::string &what) {
        size_t count = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++count;
        return count;
    }
};

TEST_F(BatchDdaTest, AnalysedOutputsCarryTheDoubleDummyResults) {
    RegisterStandin();
    std::string errors;
    ASSERT_EQ(RunDealscope(errors), 0) << errors;
    std::string pbn = ReadFile(m_root / "out.pbn");
    std::string report = ReadFile(m_root / "out.txt");
    EXPECT_EQ(Count(pbn, "[DoubleDummyTricks \""), 8u);
    EXPECT_EQ(Count(pbn, "[OptimumResultTable \"Declarer;Denomination\\2R;Result\\2R\"]\r\nN NT "), 8u);
    EXPECT_EQ(Count(report, "\r\nPar: "), 8u);
    EXPECT_EQ(Count(report, "\r\nLoTT: "), 8u);

    // The golden files of an analysed page are what the stand-in gives.
    ASSERT_EQ(RunDealscope(errors, DEALSCOPE_TEST_DATA "/conversion/layout_a.htm"), 0) << errors;
    const std::string golden = DEALSCOPE_TEST_DATA "/conversion/expected/layout_a-dd";
    std::string expected = ReadFile(golden + ".pbn");
    CVersionInfo version;
    version.Read();
    expected.replace(expected.find("@VERSION@"), 9, platform::Utf16ToUtf8(version.m_strVersion));
    pbn = ReadFile(m_root / "out.pbn");
    size_t created = pbn.find("\r\n%Created: ");
    ASSERT_NE(created, std::string::npos);
    pbn.erase(created, pbn.find("\r\n", created + 2) - created);
    EXPECT_EQ(pbn, expected);
    EXPECT_EQ(ReadFile(m_root / "out.txt"), ReadFile(golden + ".txt"));
}

TEST_F(BatchDdaTest, MissingOrFailingCompanionEndsTheRunWithoutOutputsOrProcesses) {
    for (const char *mode : {"unregistered", "crash-mid-board", "garbage"}) {
        SCOPED_TRACE(mode);
        if (std::string(mode) != "unregistered")
            Register(FAKE_COMPANION);
        setenv("FAKE_COMPANION_MODE", mode, 1);
        std::string errors;
        EXPECT_NE(RunDealscope(errors), 0);
        EXPECT_NE(errors.find(mode == std::string("unregistered") ? "Tricksmith.Object:\nClass not registered"
                                                                  : "Tricksmith"),
                  std::string::npos)
            << errors;
        EXPECT_FALSE(std::filesystem::exists(m_root / "out.pbn"));
        EXPECT_FALSE(std::filesystem::exists(m_root / "out.txt"));
    }
    EXPECT_EQ(FakeLogged().size(), 2u);
    ExpectNoServerLeft();
}

TEST_F(BatchDdaTest, PageWithoutBoardsIsStillHandedToTheCompanion) {
    Register(FAKE_COMPANION);
    std::string errors;
    EXPECT_NE(RunDealscope(errors, DEALSCOPE_TEST_DATA "/conversion/no_boards.htm"), 0);
    EXPECT_EQ(TempFiles().size(), 1u);
    EXPECT_NE(ReadFile(m_root / "fake.log").find("INVOKE 1 20 "), std::string::npos) << "the companion was not asked";
    EXPECT_FALSE(std::filesystem::exists(m_root / "out.pbn"));
    EXPECT_FALSE(std::filesystem::exists(m_root / "out.txt"));
    ExpectNoServerLeft();
}

} // namespace
