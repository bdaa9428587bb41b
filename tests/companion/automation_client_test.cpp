// The automation client against a test double of the companion: the calls in their order, what comes back, and
// a stuck server taken down with every process it started. (The faults' effect on a document is in
// document_commands_test.cpp.)
#include <unistd.h>

#include "companion/automation_text.h"
#include "companion/double_dummy_analysis.h"
#include "companion_fixture.h"

namespace {

using companion::DoubleDummyResults;

TEST(AutomationTextTest, PercentEncodingKeepsEveryByteAndMakesOneToken) {
    std::string bytes = "N NT  9\r\nDeclarer;Denomination\\2R;100%\x7f\xc3\xa9";
    bytes.push_back('\0');
    std::string encoded = companion::PercentEncode(bytes);
    EXPECT_EQ(encoded.find_first_of(std::string(" \r\n\0", 4)), std::string::npos);
    std::string decoded;
    ASSERT_TRUE(companion::PercentDecode(encoded, decoded));
    EXPECT_EQ(decoded, bytes);
    EXPECT_FALSE(companion::PercentDecode("abc%4", decoded));
    EXPECT_FALSE(companion::PercentDecode("abc%G1", decoded));
    int value = 0;
    EXPECT_TRUE(companion::ParseInt32("-12", value));
    EXPECT_EQ(value, -12);
    EXPECT_FALSE(companion::ParseInt32("12x", value));
    EXPECT_FALSE(companion::ParseInt32("99999999999", value));
}

class AutomationClientTest : public CompanionFixture {
protected:
    void SetUp() override {
        CompanionFixture::SetUp();
        Register(FAKE_COMPANION);
        m_pbn = (m_root / "tmp" / "page.pbn").string();
        std::ofstream(m_pbn) << "[Board \"1\"]\n";
    }
    std::string m_pbn;
};

TEST_F(AutomationClientTest, ReadsEveryBoardLaterDuplicateWinsAndBoardsWithoutTricksLeaveNoEntry) {
    DoubleDummyResults results = companion::RunDoubleDummyAnalysis(m_pbn);
    EXPECT_TRUE(m_errors.empty()) << Error();
    ASSERT_EQ(results.size(), 2u);
    const CDoubleDummyResult &one = results.at(u"1");
    EXPECT_EQ(one.m_strDoubleDummyTricks, u"9999999999aaaaaaaaaa");
    EXPECT_EQ(one.m_strOptimumResultTable, u"Declarer;Denomination\\2R;Result\\2R");
    EXPECT_EQ(one.m_strOptimumResultRows, u"N NT  9\r\n");
    EXPECT_EQ(results.at(u"3").m_strOptimumResultRows, u"W  C  5\r\n");
    ExpectNoServerLeft();

    // The calls went in the documented order and the conversation ended with QUIT.
    std::string log = ReadFile(m_root / "fake.log");
    EXPECT_NE(log.find("INVOKE 1 20 method bstr:" + companion::PercentEncode(m_pbn) +
                       "\nINVOKE 1 4 method\n"
                       "INVOKE 1 35 get\nINVOKE 2 1 get\nINVOKE 2 0 get i4:0\nINVOKE 100 1 get bstr:Board\n"
                       "INVOKE 100 1 get bstr:DoubleDummyTricks\nINVOKE 100 1 get bstr:OptimumResultTable\n"
                       "INVOKE 100 4 get bstr:OptimumResultTable\nRELEASE 100\n"),
              std::string::npos)
        << log;
    EXPECT_TRUE(log.ends_with("RELEASE 2\nQUIT\n")) << log;
}

TEST_F(AutomationClientTest, OnlyProgressThatMovesForwardKeepsALongAnalysisAlive) {
    const struct {
        const char *mode;
        int callMsPerThousandBoards;
        const char *error;
    } cases[] = {
        {"busy-then-ok", 5000, ""},
        {"busy-by-turns", 5000, "Tricksmith did not answer within 1 seconds."},
        {"busy-then-ok", 600, "Tricksmith did not answer within 1 seconds."}, // longer than the whole call may take
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.mode);
        m_errors.clear();
        companion::SetTransportLimits({5000, 500, 2000, c.callMsPerThousandBoards});
        setenv("FAKE_COMPANION_MODE", c.mode, 1);
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Fails([&] { companion::RunDoubleDummyAnalysis(m_pbn); }), *c.error != 0);
        EXPECT_EQ(m_errors.empty() ? "" : Error(), c.error);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(*c.error ? 1500 : 5000));
    }
    ExpectNoServerLeft();
}

// The server's own end is noticed at once, whatever it left holding its output; a server silent after QUIT is
// ended within the QUIT time limit; every process the server started goes with it, on every way out.
TEST_F(AutomationClientTest, HelperProcessesEndWithTheServerOnEveryPath) {
    SaveAndSet("FAKE_COMPANION_HELPER", "1");
    const struct {
        const char *mode;
        int replyMs;
        std::string error;
    } cases[] = {
        {"helper-hang-analyse", 500, "Tricksmith did not answer within 1 seconds."},
        {"silent-exit", 60000,
         "Tricksmith.Object:\r\nServer execution failed: " FAKE_COMPANION ": it ended (exit status 3)"},
        {"crash-analyse", 60000, "Tricksmith ended unexpectedly (signal 11 (Segmentation fault))."},
        {"normal", 60000, ""},
        {"silent-quit", 60000, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.mode);
        m_errors.clear();
        std::filesystem::remove(m_root / "fake.log");
        companion::SetTransportLimits({60000, c.replyMs, 2000});
        setenv("FAKE_COMPANION_MODE", c.mode, 1);
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Fails([&] { companion::RunDoubleDummyAnalysis(m_pbn); }), !c.error.empty());
        EXPECT_EQ(m_errors.empty() ? "" : Error(), c.error);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3000));
        ExpectNoServerLeft();
        std::vector<pid_t> helpers;
        for (int i = 0; i < 200 && helpers.size() < (c.mode == std::string("helper-hang-analyse") ? 3 : 1);
             ++i, usleep(10 * 1000))
            helpers = FakeLogged("helper");
        EXPECT_FALSE(helpers.empty());
        // Their parents gone, the helpers belong to whoever collects orphans; they must not be running any more.
        for (pid_t helper : helpers) {
            bool running = true;
            for (int i = 0; i < 200 && running; ++i) {
                std::string stat = ReadFile("/proc/" + std::to_string(helper) + "/stat");
                size_t close = stat.rfind(')');
                running = close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
                if (running)
                    usleep(10 * 1000);
            }
            EXPECT_FALSE(running) << "helper " << helper << " still runs";
            if (running)
                kill(helper, SIGKILL);
        }
    }
}

} // namespace
