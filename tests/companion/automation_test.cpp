// The analysis through the automation transport against a misbehaving companion: every fault leaves one clear
// error, the document as it was and no process behind.
#include "companion/automation_text.h"
#include "companion/companion_commands.h"
#include "companion/double_dummy_analysis.h"
#include "companion_fixture.h"
#include "platform/file_uri.h"

namespace {

TEST(AutomationText, PercentEncodingKeepsEveryByteAndMakesOneToken) {
    std::string bytes("N NT  9\r\nDe;100%\x7f\xc3\xa9\0", 20);
    std::string encoded = companion::PercentEncode(bytes), decoded;
    EXPECT_EQ(encoded.find_first_of(std::string(" \r\n\0", 4)), std::string::npos);
    ASSERT_TRUE(platform::PercentDecode(encoded, decoded));
    EXPECT_EQ(decoded, bytes);
    int value = 0;
    EXPECT_TRUE(companion::ParseInt32("-12", value) && value == -12);
    EXPECT_FALSE(companion::ParseInt32("12x", value) || companion::ParseInt32("99999999999", value));
}

TEST(DoubleDummyAnalysis, BoardsWrittenAreTheLinesThatStartWithABoardTag) {
    EXPECT_EQ(companion::CountPbnBoards(""), 0u);
    EXPECT_EQ(companion::CountPbnBoards("[Board \"1\"]"), 1u); // no line end after the last
    EXPECT_EQ(companion::CountPbnBoards("% PBN 2.1\r\n[Event \"\"]\r\n[Board \"1\"]\r\n\r\n[Board \"2\"]\r\n"
                                        "[Boards \"x\"]\r\n [Board \"3\"]\r\n{[Board \"4\"]}\r\n[Board"),
              2u);
    EXPECT_EQ(companion::CountPbnBoards(std::string(1 << 20, '\n')), 0u);
}

using AutomationTest = CompanionFixture;

TEST_F(AutomationTest, EveryWayOutLeavesNoProcessAndFailuresLeaveTheDocument) {
    const std::string file = (m_dir / "tmp" / "dda_page.pbn").string(), missing = (m_dir / "no-server").string();
    const struct {
        const char *mode;
        std::string message; // "" for success; else the whole message, or a part ending in "..."
        int replyMs = 3000, callMsPerThousandBoards = 5000;
        std::string server = FAKE_COMPANION; // "" for none registered
    } cases[] = {
        {"normal", ""},
        {"silent-quit", ""},
        {"busy-then-ok", "", 500},
        {"busy-by-turns", "Tricksmith did not answer within 1 seconds.", 500},     // progress must move forward
        {"busy-then-ok", "Tricksmith did not answer within 1 seconds.", 500, 600}, // beyond the ceiling
        {"hang-analyse", "Tricksmith did not answer within 1 seconds.", 1000},
        {"normal", "Tricksmith.Object:\r\nClass not registered", 3000, 5000, ""},
        {"normal", "Tricksmith.Object:\r\nServer execution failed: " + missing + ": No such file or directory", 3000,
         5000, missing},
        {"silent-exit", "Tricksmith.Object:\r\nServer execution failed: " FAKE_COMPANION ": it ended (exit status 3)"},
        {"no-ready",
         "Tricksmith.Object:\r\nServer execution failed: " FAKE_COMPANION ": unexpected greeting \"HELLO\"..."},
        {"open-false", file + ":\r\nCannot open temp file in TS."},
        {"crash-analyse", "Tricksmith ended unexpectedly (signal 11 (Segmentation fault))."},
        {"crash-mid-board", "Tricksmith ended unexpectedly (signal 9..."},
        {"wrong-type", "Tricksmith sent a reply that could not be understood: OK i4:5"},
        {"null-object", "Tricksmith sent a reply that could not be understood: OK dispatch:0"},
        {"error-analyse", "The analysis failed for board 7."},
        {"zero-boards", ""}, // no results: the command stays enabled, the page is not converted again
        // More boards than the page's 9: a companion that counts so has not read what we wrote. Reported at
        // once, not after the boards or the time that such a count would stand for.
        {"count-beyond", "Tricksmith sent a reply that could not be understood: OK i4:10"},
        {"total-beyond", "Tricksmith sent a reply that could not be understood: BUSY 1/10"},
        {"total-huge", "Tricksmith sent a reply that could not be understood: BUSY 0/99999999999999999999"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + c.server);
        fs::remove(companion::ClassesFilePath());
        fs::remove(m_dir / "home" / "fake.log");
        if (!c.server.empty())
            Register(c.server);
        setenv("FAKE_COMPANION_MODE", c.mode, 1);
        companion::SetTransportLimits({5000, c.replyMs, 2000, c.callMsPerThousandBoards});
        m_errors.clear();
        CDSCDoc doc; // the test page converted, with an earlier analysis of board 1
        LoadTestPage(doc);
        doc.m_ddResults[u"1"].m_strDoubleDummyTricks = u"66666666666666666666";
        doc.Convert();
        const std::string pbn = doc.m_strPbn, report = doc.m_strTextReport;
        const size_t results = !c.message.empty() ? 1 : c.mode == std::string("zero-boards") ? 0 : 2;
        if (c.message.empty())
            EXPECT_EQ(OnDoubleDummyAll(doc), results != 0);
        else
            EXPECT_THROW(OnDoubleDummyAll(doc), platform::UserException);
        ASSERT_EQ(m_errors.size(), c.message.empty() ? 0u : 1u);
        EXPECT_EQ(c.message.ends_with("...") ? Error().substr(0, c.message.size() - 3) + "..." : Error(), c.message);
        ASSERT_EQ(doc.m_ddResults.size(), results);
        if (results == 2) {
            EXPECT_EQ(doc.m_ddResults.at(u"1").m_strDoubleDummyTricks, u"9999999999aaaaaaaaaa");
            EXPECT_EQ(doc.m_ddResults.at(u"1").m_strOptimumResultRows, u"N NT  9\r\n");
            EXPECT_EQ(doc.m_ddResults.at(u"3").m_strOptimumResultRows, u"W  C  5\r\n");
            EXPECT_NE(doc.m_strPbn, pbn);
        } else {
            EXPECT_TRUE(!results || doc.m_ddResults.at(u"1").m_strDoubleDummyTricks == u"66666666666666666666");
            EXPECT_EQ(doc.m_strPbn, pbn);
            EXPECT_EQ(doc.m_strTextReport, report);
        }
        EXPECT_EQ(OnUpdateDoubleDummyAll(doc), results == 0);
        EXPECT_EQ(ReadFile(file), pbn); // the companion got the page's PBN as it stood
        EXPECT_EQ(TempFiles(), std::vector<std::string>{"dda_page.pbn"});
        fs::remove(file);
        EXPECT_EQ(FakeLogged("helper").empty(), FakeLogged().empty());
        ExpectFakeGone();
    }
}

} // namespace
