// The companion commands on a real document: a page converted and analysed through the stand-in companion (trick
// tables and par lines checked against libdds's reference results), every fault of the companion leaving the
// document as it was, and the hand-off of the document's PBN.
#include <map>

#include "app/batch_page_source.h"
#include "companion/companion_commands.h"
#include "companion_fixture.h"
#include "conversion/dsc_doc.h"
#include "deal_check.h"
#include "pbn_games.h"
#include "reference_deals.h"

namespace {

// The "Par:" score of each board of the text report, by board number.
std::map<std::string, int> ReportParScores(const std::string &report) {
    std::map<std::string, int> scores;
    std::istringstream lines(report);
    std::string line, board;
    while (std::getline(lines, line)) {
        if (line.starts_with("Board: "))
            board = line.substr(7, line.find(' ', 7) - 7);
        else if (line.starts_with("Par: "))
            scores[board] = std::stoi(line.substr(5));
    }
    return scores;
}

class DocumentCommandsTest : public CompanionFixture {
protected:
    void SetUp() override {
        CompanionFixture::SetUp();
        BatchPageSource page = ReadPageFile(platform::Utf8ToUtf16(DEALSCOPE_TEST_DATA "/companion/dda_page.htm"));
        m_doc.LoadFromView(page);
        ASSERT_TRUE(m_doc.m_bConverted) << platform::Utf16ToUtf8(m_doc.m_strStatus);
    }
    CDSCDoc m_doc;
};

TEST_F(DocumentCommandsTest, AnalysedPageGetsLibddsTablesAndMatchingParLines) {
    UseProgramTimeLimits();
    RegisterStandin();
    std::string pbnBefore = m_doc.m_strPbn;
    EXPECT_EQ(pbnBefore.find("DoubleDummyTricks"), std::string::npos);
    EXPECT_TRUE(OnUpdateDoubleDummyAll(m_doc));

    EXPECT_TRUE(OnDoubleDummyAll(m_doc)) << Error();
    EXPECT_TRUE(m_errors.empty()) << Error();
    EXPECT_FALSE(OnUpdateDoubleDummyAll(m_doc)); // until another page is loaded
    EXPECT_TRUE(OnUpdateOpenWithTricksmith(m_doc));
    // The companion was given the page's PBN as it stood, in a file named after the page.
    EXPECT_EQ(ReadFile(m_root / "tmp" / "dda_page.pbn"), pbnBefore);

    std::vector<ReferenceDeal> references = ReadReferenceDeals(32);
    std::map<std::string, int> parScores = ReportParScores(m_doc.m_strTextReport);
    auto games = standin::ParsePbnGames(standin::DecodePbnBytes(m_doc.m_strPbn));
    ASSERT_EQ(games.size(), 9u);
    int checked = 0;
    for (const auto &game : games) {
        std::string board = game.Find("Board")->m_value;
        SCOPED_TRACE("board " + board);
        standin::DealCards cards;
        if (!standin::ReadCompleteDeal(game.Find("Deal")->m_value, cards)) {
            // The deal with a missing card was not analysed: no tags, no entry, no par line.
            EXPECT_EQ(board, "9");
            EXPECT_EQ(game.Find("DoubleDummyTricks"), nullptr);
            EXPECT_EQ(game.Find("OptimumResultTable"), nullptr);
            EXPECT_FALSE(m_doc.m_ddResults.contains(u"9"));
            EXPECT_FALSE(parScores.contains(board));
            continue;
        }
        auto reference = std::find_if(references.begin(), references.end(),
                                      [&](const ReferenceDeal &r) { return r.m_cards == cards; });
        ASSERT_NE(reference, references.end());
        ASSERT_NE(game.Find("DoubleDummyTricks"), nullptr);
        EXPECT_EQ(game.Find("DoubleDummyTricks")->m_value, reference->m_tricks);
        const standin::PbnTag *optimum = game.Find("OptimumResultTable");
        ASSERT_NE(optimum, nullptr);
        EXPECT_EQ(optimum->m_value, "Declarer;Denomination\\2R;Result\\2R");
        EXPECT_EQ(std::count(optimum->m_rows.begin(), optimum->m_rows.end(), '\n'), 20);
        ASSERT_TRUE(parScores.contains(board));
        EXPECT_EQ(parScores[board], reference->m_parScore);
        ++checked;
    }
    EXPECT_EQ(checked, 8);
    EXPECT_EQ(m_doc.m_ddResults.size(), 8u);
}

// A missing or unregistered companion, one that crashes, hangs, never stops saying it is busy, or talks nonsense:
// one clear error, earlier results and the outputs as they were (nothing half applied), no process left.
TEST_F(DocumentCommandsTest, FailedAnalysisLeavesTheDocumentAsItWas) {
    companion::SetTransportLimits({5000, 1000, 2000});
    CDoubleDummyResult earlier;
    earlier.m_strDoubleDummyTricks = u"66666666666666666666";
    m_doc.m_ddResults[u"1"] = earlier;
    m_doc.Convert();
    const std::string pbn = m_doc.m_strPbn, report = m_doc.m_strTextReport;
    const std::string file = (m_root / "tmp" / "dda_page.pbn").string();
    const std::string missing = (m_root / "no-such-server").string();
    const struct {
        std::string server; // empty: no classes file at all
        const char *mode;
        std::string message;
        bool exact;
    } cases[] = {
        {"", "normal", "Tricksmith.Object:\r\nClass not registered", true},
        {missing, "normal", "Tricksmith.Object:\r\nServer execution failed: " + missing + ": No such file or directory",
         true},

        {FAKE_COMPANION, "silent-exit",
         "Tricksmith.Object:\r\nServer execution failed: " FAKE_COMPANION ": it ended (exit status 3)", true},
        {FAKE_COMPANION, "no-ready", "unexpected greeting \"HELLO\"", false},
        {FAKE_COMPANION, "open-false", file + ":\r\nCannot open temp file in TS.", true},
        {FAKE_COMPANION, "crash-analyse", "Tricksmith ended unexpectedly (signal 11", false},
        {FAKE_COMPANION, "crash-mid-board", "Tricksmith ended unexpectedly (signal 9", false},
        {FAKE_COMPANION, "hang-analyse", "Tricksmith did not answer within 1 seconds.", true},
        {FAKE_COMPANION, "busy-forever", "Tricksmith did not answer within 1 seconds.", true},
        {FAKE_COMPANION, "garbage", "Tricksmith sent a reply that could not be understood: ?? this is not the protocol",
         true},
        {FAKE_COMPANION, "wrong-type", "Tricksmith sent a reply that could not be understood: OK i4:5", true},
        {FAKE_COMPANION, "error-analyse", "The analysis failed for board 7.", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + c.server);
        std::filesystem::remove(companion::ClassesFilePath());
        if (!c.server.empty())
            Register(c.server);
        setenv("FAKE_COMPANION_MODE", c.mode, 1);
        m_errors.clear();
        EXPECT_TRUE(Fails([&] { OnDoubleDummyAll(m_doc); }));
        ASSERT_EQ(m_errors.size(), 1u);
        if (c.exact)
            EXPECT_EQ(Error(), c.message);
        else
            EXPECT_NE(Error().find(c.message), std::string::npos) << Error();
        ASSERT_EQ(m_doc.m_ddResults.size(), 1u);
        EXPECT_EQ(m_doc.m_ddResults.at(u"1").m_strDoubleDummyTricks, u"66666666666666666666");
        EXPECT_EQ(m_doc.m_strPbn, pbn);
        EXPECT_EQ(m_doc.m_strTextReport, report);
        // The file for the companion was written before it failed.
        EXPECT_EQ(TempFiles(), std::vector<std::string>{"dda_page.pbn"});
        std::filesystem::remove(file);
        ExpectNoServerLeft();
    }
}

TEST_F(DocumentCommandsTest, NoResultsMeanNoReconversionAndTheCommandStaysEnabled) {
    Register(FAKE_COMPANION);
    setenv("FAKE_COMPANION_MODE", "zero-boards", 1);
    m_doc.m_strStatus = u"kept"; // a conversion would replace it
    EXPECT_FALSE(OnDoubleDummyAll(m_doc));
    EXPECT_TRUE(m_errors.empty()) << Error();
    EXPECT_EQ(m_doc.m_strStatus, u"kept");
    EXPECT_TRUE(OnUpdateDoubleDummyAll(m_doc));
    ExpectNoServerLeft();
}

TEST_F(DocumentCommandsTest, OpenWithTricksmithHandsOverTheDocumentsPbn) {
    SaveAndSet("HANDOFF_LOG", (m_root / "handoff.log").string());
    Register("\"" + std::string(HANDOFF_RECORDER) + "\""); // quotes around a registered path are dropped
    CDSCDoc empty;
    EXPECT_FALSE(OnUpdateOpenWithTricksmith(empty));
    EXPECT_FALSE(OnUpdateDoubleDummyAll(empty));

    OnOpenWithTricksmith(m_doc);
    std::string path = (m_root / "tmp" / "dda_page.pbn").string();
    EXPECT_EQ(ReadFileWhenThere(m_root / "handoff.log"), "argc 2\narg " + path + "\ncontent " + m_doc.m_strPbn);
    EXPECT_TRUE(m_errors.empty()) << Error();
}

} // namespace
