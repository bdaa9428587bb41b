// The automation client against a fault-injecting server: every failure is reported clearly, nothing is half
// delivered, and no server process is left behind.
#include "companion/automation_text.h"
#include "companion/double_dummy_analysis.h"
#include "companion_fixture.h"

namespace {

using companion::DoubleDummyResults;
using companion::RunDoubleDummyAnalysis;

class AutomationClientTest : public CompanionFixture {
protected:
    void SetUp() override {
        CompanionFixture::SetUp();
        Register(FAKE_COMPANION);
        m_pbn = (m_root / "tmp" / "page.pbn").string();
        std::ofstream(m_pbn) << "[Board \"1\"]\n";
    }

    // Runs the analysis with the fake in `mode`; true when it returned results (in `results`).
    bool Analyse(const std::string &mode, DoubleDummyResults &results) {
        setenv("FAKE_COMPANION_MODE", mode.c_str(), 1);
        try {
            results = RunDoubleDummyAnalysis(m_pbn);
            return true;
        } catch (const platform::UserException &) {
            return false;
        }
    }

    void ExpectNoServerLeft() {
        std::vector<pid_t> pids = FakePids();
        ASSERT_FALSE(pids.empty());
        for (pid_t pid : pids)
            EXPECT_TRUE(ProcessGone(pid)) << "server " << pid << " still exists";
    }

    std::string m_pbn;
};

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

TEST_F(AutomationClientTest, ReadsEveryBoardLaterDuplicateWinsAndBoardsWithoutTricksLeaveNoEntry) {
    DoubleDummyResults results;
    ASSERT_TRUE(Analyse("normal", results)) << Error();
    ASSERT_EQ(results.size(), 2u);
    const CDoubleDummyResult &one = results.at(u"1");
    EXPECT_EQ(one.m_strDoubleDummyTricks, u"9999999999aaaaaaaaaa");
    EXPECT_EQ(one.m_strOptimumResultTable, u"Declarer;Denomination\\2R;Result\\2R");
    EXPECT_EQ(one.m_strOptimumResultRows, u"N NT  9\r\n");
    EXPECT_EQ(results.at(u"3").m_strOptimumResultRows, u"W  C  5\r\n");
    EXPECT_FALSE(results.contains(u"2"));
    EXPECT_TRUE(m_errors.empty());
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

TEST_F(AutomationClientTest, ProgressLinesKeepALongAnalysisAlive) {
    companion::SetTransportLimits({5000, 1000, 2000}); // a BUSY every 300 ms, 1.8 s in all
    DoubleDummyResults results;
    EXPECT_TRUE(Analyse("busy-then-ok", results)) << Error();
    EXPECT_EQ(results.size(), 2u);
}

TEST_F(AutomationClientTest, BusyWithoutProgressDoesNotHoldTheClientForever) {
    companion::SetTransportLimits({5000, 1000, 2000}); // a bare BUSY every 100 ms, and never an answer
    DoubleDummyResults results;
    EXPECT_FALSE(Analyse("busy-forever", results));
    EXPECT_EQ(Error(), "Tricksmith did not answer within 1 seconds.");
    ExpectNoServerLeft();
}

TEST_F(AutomationClientTest, NoBoardsGiveNoResultsAndNoError) {
    DoubleDummyResults results;
    ASSERT_TRUE(Analyse("zero-boards", results)) << Error();
    EXPECT_TRUE(results.empty());
    EXPECT_TRUE(m_errors.empty());
    ExpectNoServerLeft();
}

TEST_F(AutomationClientTest, MissingClassesFileOrServerIsReportedWithTheProgId) {
    std::filesystem::remove(companion::ClassesFilePath());
    DoubleDummyResults results;
    EXPECT_FALSE(Analyse("normal", results));
    EXPECT_EQ(Error(), "Tricksmith.Object:\r\nClass not registered");

    Register((m_root / "no-such-server").string());
    m_errors.clear();
    EXPECT_FALSE(Analyse("normal", results));
    EXPECT_EQ(Error(), "Tricksmith.Object:\r\nServer execution failed: " + (m_root / "no-such-server").string() +
                           ": No such file or directory");
}

TEST_F(AutomationClientTest, ServerThatDoesNotGreetIsStoppedAndReported) {
    DoubleDummyResults results;
    EXPECT_FALSE(Analyse("silent-exit", results));
    EXPECT_NE(Error().find("Server execution failed: "), std::string::npos) << Error();
    EXPECT_NE(Error().find("exit status 3"), std::string::npos) << Error();
    ExpectNoServerLeft();

    m_errors.clear();
    EXPECT_FALSE(Analyse("no-ready", results));
    EXPECT_NE(Error().find("unexpected greeting \"HELLO\""), std::string::npos) << Error();
    ExpectNoServerLeft();
}

TEST_F(AutomationClientTest, FileNotOpenedIsReportedWithThePath) {
    DoubleDummyResults results;
    EXPECT_FALSE(Analyse("open-false", results));
    EXPECT_EQ(Error(), m_pbn + ":\r\nCannot open temp file in TS.");
    ExpectNoServerLeft();
}

TEST_F(AutomationClientTest, ServerCrashDuringAnalysisIsReported) {
    DoubleDummyResults results;
    EXPECT_FALSE(Analyse("crash-analyse", results));
    EXPECT_NE(Error().find("Tricksmith ended unexpectedly (signal 11"), std::string::npos) << Error();
    ExpectNoServerLeft();
}

TEST_F(AutomationClientTest, ServerCrashWhileBoardsAreReadDeliversNothing) {
    DoubleDummyResults results;
    results[u"old"] = {};
    EXPECT_FALSE(Analyse("crash-mid-board", results));
    EXPECT_NE(Error().find("Tricksmith ended unexpectedly (signal 9"), std::string::npos) << Error();
    EXPECT_TRUE(results.contains(u"old")); // untouched: nothing came back
    ExpectNoServerLeft();
}

TEST_F(AutomationClientTest, HangingServerIsKilledAfterTheTimeLimit) {
    companion::SetTransportLimits({5000, 500, 2000});
    DoubleDummyResults results;
    EXPECT_FALSE(Analyse("hang-analyse", results));
    EXPECT_EQ(Error(), "Tricksmith did not answer within 1 seconds.");
    ExpectNoServerLeft();
}

TEST_F(AutomationClientTest, HelperProcessesOfAStuckServerAreKilledToo) {
    companion::SetTransportLimits({5000, 500, 2000});
    DoubleDummyResults results;
    EXPECT_FALSE(Analyse("helper-hang-analyse", results));
    EXPECT_EQ(Error(), "Tricksmith did not answer within 1 seconds.");
    ExpectNoServerLeft();
    std::vector<pid_t> helpers;
    for (int i = 0; i < 200 && helpers.size() < 2; ++i) {
        helpers.clear();
        std::ifstream log(m_root / "fake.log");
        std::string line;
        while (std::getline(log, line))
            if (line.starts_with("helper "))
                helpers.push_back(static_cast<pid_t>(std::stol(line.substr(7))));
        if (helpers.size() < 2)
            usleep(10 * 1000);
    }
    ASSERT_EQ(helpers.size(), 2u);
    // Their parents gone, the helpers belong to whoever collects orphans; they must not be running any more.
    for (pid_t helper : helpers) {
        bool running = true;
        for (int i = 0; i < 200 && running; ++i) {
            std::ifstream stat("/proc/" + std::to_string(helper) + "/stat");
            std::string text((std::istreambuf_iterator<char>(stat)), {});
            size_t close = text.rfind(')');
            running = close != std::string::npos && close + 2 < text.size() && text[close + 2] != 'Z';
            if (running)
                usleep(10 * 1000);
        }
        EXPECT_FALSE(running) << "helper " << helper << " still runs";
        if (running)
            kill(helper, SIGKILL);
    }
}

TEST_F(AutomationClientTest, GarbageAndWrongTypesAreMalformedReplies) {
    DoubleDummyResults results;
    EXPECT_FALSE(Analyse("garbage", results));
    EXPECT_EQ(Error(), "Tricksmith sent a reply that could not be understood: ?? this is not the protocol");
    ExpectNoServerLeft();

    m_errors.clear();
    EXPECT_FALSE(Analyse("wrong-type", results));
    EXPECT_EQ(Error(), "Tricksmith sent a reply that could not be understood: OK i4:5");
    ExpectNoServerLeft();
}

TEST_F(AutomationClientTest, ErrorReplyShowsTheServersDescription) {
    DoubleDummyResults results;
    EXPECT_FALSE(Analyse("error-analyse", results));
    EXPECT_EQ(Error(), "The analysis failed for board 7.");
    ExpectNoServerLeft();
}

} // namespace
