// The companion commands on a real document: a page converted, analysed through the stand-in companion (trick
// tables and par lines checked against libdds's reference results), and every failure leaving the document as
// it was.
#include <chrono>
#include <map>
#include <thread>

#include "companion/companion_commands.h"
#include "companion_fixture.h"
#include "conversion/dsc_doc.h"
#include "deal_check.h"
#include "pbn_games.h"
#include "reference_deals.h"

namespace {

class FilePage : public IPageSource {
public:
    explicit FilePage(const std::string &name) : m_name(name) {
        std::ifstream file(std::string(DEALSCOPE_TEST_DATA) + "/companion/" + name, std::ios::binary);
        m_bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    std::u16string GetLocationURL() override { return platform::WidenAscii("file:///pages/" + m_name); }
    bool GetRawSource(std::string &bytes) override {
        bytes = m_bytes;
        return !bytes.empty();
    }
    unsigned GetDocumentCodePage() override { return 1252; }

private:
    std::string m_name;
    std::string m_bytes;
};

// The "Par:" score of each board of the text report, by board number.
std::map<std::string, int> ReportParScores(const std::string &report) {
    std::map<std::string, int> scores;
    std::istringstream lines(report);
    std::string line;
    std::string board;
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
    void Load(const std::string &page) {
        FilePage source(page);
        m_doc.LoadFromView(source);
        ASSERT_TRUE(m_doc.m_bConverted) << platform::Utf16ToUtf8(m_doc.m_strStatus);
    }

    bool Fails(const std::function<void()> &action) {
        try {
            action();
        } catch (const platform::UserException &) {
            return true;
        }
        return false;
    }

    CDSCDoc m_doc;
};

TEST_F(DocumentCommandsTest, AnalysedPageGetsLibddsTablesAndMatchingParLines) {
    UseProgramTimeLimits();
    ASSERT_EQ(std::system((std::string(TRICKSMITH_STANDIN) + " --register >/dev/null").c_str()), 0);
    Load("dda_page.htm");
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
        ASSERT_NE(reference, references.end()) << "board " << board;
        ASSERT_NE(game.Find("DoubleDummyTricks"), nullptr) << "board " << board;
        EXPECT_EQ(game.Find("DoubleDummyTricks")->m_value, reference->m_tricks) << "board " << board;
        const standin::PbnTag *optimum = game.Find("OptimumResultTable");
        ASSERT_NE(optimum, nullptr);
        EXPECT_EQ(optimum->m_value, "Declarer;Denomination\\2R;Result\\2R");
        EXPECT_EQ(std::count(optimum->m_rows.begin(), optimum->m_rows.end(), '\n'), 20);
        ASSERT_TRUE(parScores.contains(board)) << "board " << board;
        EXPECT_EQ(parScores[board], reference->m_parScore) << "board " << board;
        ++checked;
    }
    EXPECT_EQ(checked, 8);
    EXPECT_EQ(m_doc.m_ddResults.size(), 8u);
}

TEST_F(DocumentCommandsTest, FailedAnalysisLeavesTheDocumentAsItWas) {
    Register(FAKE_COMPANION);
    Load("dda_page.htm");
    CDoubleDummyResult earlier;
    earlier.m_strDoubleDummyTricks = u"66666666666666666666";
    m_doc.m_ddResults[u"1"] = earlier;
    m_doc.Convert();
    std::string pbn = m_doc.m_strPbn;
    std::string report = m_doc.m_strTextReport;

    for (const char *mode : {"crash-mid-board", "crash-analyse", "garbage", "wrong-type", "error-analyse"}) {
        setenv("FAKE_COMPANION_MODE", mode, 1);
        m_errors.clear();
        EXPECT_TRUE(Fails([&] { OnDoubleDummyAll(m_doc); })) << mode;
        EXPECT_EQ(m_errors.size(), 1u) << mode;
        ASSERT_EQ(m_doc.m_ddResults.size(), 1u) << mode;
        EXPECT_EQ(m_doc.m_ddResults.at(u"1").m_strDoubleDummyTricks, u"66666666666666666666") << mode;
        EXPECT_EQ(m_doc.m_strPbn, pbn) << mode;
        EXPECT_EQ(m_doc.m_strTextReport, report) << mode;
    }
    for (pid_t pid : FakePids())
        EXPECT_TRUE(ProcessGone(pid)) << pid;
}

TEST_F(DocumentCommandsTest, MissingCompanionIsReportedAfterTheFileIsWritten) {
    Load("dda_page.htm");
    std::string pbn = m_doc.m_strPbn;
    EXPECT_TRUE(Fails([&] { OnDoubleDummyAll(m_doc); }));
    EXPECT_EQ(Error(), "Tricksmith.Object:\r\nClass not registered");
    EXPECT_EQ(TempFiles(), std::vector<std::string>{"dda_page.pbn"});
    EXPECT_TRUE(m_doc.m_ddResults.empty());
    EXPECT_EQ(m_doc.m_strPbn, pbn);
}

TEST_F(DocumentCommandsTest, NoResultsMeanNoReconversionAndTheCommandStaysEnabled) {
    Register(FAKE_COMPANION);
    setenv("FAKE_COMPANION_MODE", "zero-boards", 1);
    Load("dda_page.htm");
    m_doc.m_strStatus = u"kept"; // a conversion would replace it
    EXPECT_FALSE(OnDoubleDummyAll(m_doc));
    EXPECT_TRUE(m_errors.empty()) << Error();
    EXPECT_EQ(m_doc.m_strStatus, u"kept");
    EXPECT_TRUE(OnUpdateDoubleDummyAll(m_doc));
}

TEST_F(DocumentCommandsTest, OpenWithTricksmithHandsOverTheDocumentsPbn) {
    SaveAndSet("HANDOFF_LOG", (m_root / "handoff.log").string());
    Register(HANDOFF_RECORDER);
    CDSCDoc empty;
    EXPECT_FALSE(OnUpdateOpenWithTricksmith(empty));
    EXPECT_FALSE(OnUpdateDoubleDummyAll(empty));

    Load("dda_page.htm");
    OnOpenWithTricksmith(m_doc);
    std::filesystem::path log = m_root / "handoff.log";
    for (int i = 0; i < 1000 && !std::filesystem::exists(log); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::string path = (m_root / "tmp" / "dda_page.pbn").string();
    EXPECT_EQ(ReadFile(log), "argc 2\narg " + path + "\ncontent " + m_doc.m_strPbn);
    EXPECT_TRUE(m_errors.empty()) << Error();
}

} // namespace
