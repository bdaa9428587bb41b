// The stand-in companion: deal checks, PBN reading, and whole analyses through the automation transport whose
// trick tables must equal libdds's own for the same deals (a reference set computed elsewhere).
#include <fcntl.h>
#include <sys/file.h>

#include "analysis.h"
#include "companion/double_dummy_analysis.h"
#include "companion_fixture.h"
#include "deal_check.h"
#include "pbn_games.h"
#include "reference_deals.h"

namespace {

const std::string DEAL = "N:QJ6.K652.J85.T98 873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ3";

TEST(StandinDealTest, OnlyCompleteDistinctDealsPass) {
    standin::DealCards north, east;
    ASSERT_TRUE(standin::ReadCompleteDeal(DEAL, north));
    // The first seat rotates the hands: East's hand comes first.
    ASSERT_TRUE(
        standin::ReadCompleteDeal("E:873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ3 QJ6.K652.J85.T98", east));
    EXPECT_EQ(north, east);
    EXPECT_EQ(north[0][0], (1u << 12) | (1u << 11) | (1u << 6)); // North's spades Q J 6

    const char *rejected[] = {
        "N:QJ6.K652.J85.T98 873.J97.AT764.Q4 K5.T83.KQ9.A7652 -",                 // unknown hand
        "N:QJ6.K652.J85.T98 873.J97.AT764.Q4 K5.T83.KQ9.A765 AT942.AQ4.32.KJ3",   // 12 cards
        "N:QJ6.K652.J85.T98 873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ2",  // the two of clubs twice
        "N:QJ6.K652.J85.T9x 873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ3",  // an unnamed card
        "N:QJ6.K652.J85.T98 873.J97.AT764.Q4 K5.T83.KQ9.A7652",                   // three hands
        "N:QJ6.K652.J85.T98.2 873.J97.AT764.Q4 K5.T83.KQ9.A765 AT942.AQ4.32.KJ3", // five suits
        "X:QJ6.K652.J85.T98 873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ3",  // no such seat
        "N:QJ6.K652.J85.T98 873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ3 AKQ",
        "",
    };
    for (const char *deal : rejected)
        EXPECT_FALSE(standin::ReadCompleteDeal(deal, north)) << deal;
}

TEST(StandinPbnTest, GamesTagsRowsCommentsAndCharsets) {
    std::string latin1 = "% PBN 2.1\r\n[Event \"Caf\xe9\"]\r\n{a recap\r\n\r\n[Board \"9\"]\r\n}\r\n"
                         "[Board \"1\"]\r\n[Note \"say \"hi\" now\"]\r\n[ScoreTable \"A;B\"]\r\n1 2\r\n3 4\r\n\r\n"
                         "[Board \"2\"]\r\n";
    auto games = standin::ParsePbnGames(standin::DecodePbnBytes(latin1));
    ASSERT_EQ(games.size(), 2u);
    EXPECT_EQ(games[0].Find("Event")->m_value, "Caf\xc3\xa9"); // ISO-8859-1 read as such
    EXPECT_EQ(games[0].Find("Board")->m_value, "1");           // the commentary's lines are no tags
    EXPECT_EQ(games[0].Find("Note")->m_value, "say \"hi\" now");
    EXPECT_EQ(games[0].Find("ScoreTable")->m_rows, "1 2\r\n3 4\r\n");
    EXPECT_EQ(games[1].Find("Board")->m_value, "2");
    // UTF-8 stays UTF-8, a byte-order mark goes.
    EXPECT_EQ(standin::DecodePbnBytes("\xEF\xBB\xBF[Event \"Caf\xc3\xa9\"]"), "[Event \"Caf\xc3\xa9\"]");
}

TEST(StandinServerTest, ServesAParentThatIsProcessOne) {
    // In a container Dealscope may be the first process; the stand-in must still answer it. A new process
    // namespace gives the shell that starts the stand-in process id 1.
    if (std::system("unshare --pid --fork true >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no process namespaces here";
    std::string command = "unshare --pid --fork sh -c 'printf \"QUIT\\n\" | " + std::string(TRICKSMITH_STANDIN) +
                          " --automation; echo status $?'";
    FILE *run = popen(command.c_str(), "r");
    ASSERT_NE(run, nullptr);
    std::string output;
    char buffer[256];
    while (size_t got = std::fread(buffer, 1, sizeof buffer, run))
        output.append(buffer, got);
    pclose(run);
    EXPECT_EQ(output, "READY 1\nOK empty\nstatus 0\n");
}

using StandinAnalysisTest = CompanionFixture;

TEST_F(StandinAnalysisTest, TablesEqualLibddsOwnInBatchesAndIncompleteDealsAreSkipped) {
    UseProgramTimeLimits();
    RegisterStandin();
    std::string server;
    ASSERT_TRUE(GetTricksmithExePath(server));
    EXPECT_EQ(server, std::filesystem::canonical(TRICKSMITH_STANDIN).string());

    // 40 boards (more than one solver call takes), every deal of the reference set three times over, in an
    // ISO-8859-1 file, with a recap commentary and deals that must not reach the solver.
    std::vector<ReferenceDeal> oracle = ReadReferenceDeals(12);
    ASSERT_EQ(oracle.size(), 12u);
    std::string pbn = "% PBN 2.1\r\n% EXPORT\r\n[Event \"Caf\xe9\"]\r\n{Recap\r\n\r\n[Board \"99\"]\r\n}\r\n\r\n";
    for (int board = 1; board <= 36; ++board)
        pbn +=
            "[Board \"" + std::to_string(board) + "\"]\r\n[Deal \"" + oracle[(board - 1) % 12].m_deal + "\"]\r\n\r\n";
    const std::string incomplete[] = {DEAL.substr(0, DEAL.rfind(' ')) + " -", DEAL.substr(0, DEAL.size() - 1) + "2",
                                      DEAL.substr(0, DEAL.size() - 1) + "x"};
    for (int board = 37; board <= 39; ++board)
        pbn += "[Board \"" + std::to_string(board) + "\"]\r\n[Deal \"" + incomplete[board - 37] + "\"]\r\n\r\n";
    pbn += "[Board \"40\"]\r\n";
    std::string path = (m_root / "tmp" / "page.pbn").string();
    std::ofstream(path, std::ios::binary) << pbn;
    // Working folders of earlier stand-ins: one killed (its lock free), one still running (its lock held).
    for (const char *name : {"tricksmith-standin-killed", "tricksmith-standin-running"}) {
        std::filesystem::create_directory(m_root / "tmp" / name);
        std::ofstream(m_root / "tmp" / name / "lock");
    }
    int held = open((m_root / "tmp" / "tricksmith-standin-running" / "lock").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(held, LOCK_EX), 0);

    companion::DoubleDummyResults results = companion::RunDoubleDummyAnalysis(path);
    close(held);
    EXPECT_TRUE(m_errors.empty()) << Error();
    ASSERT_EQ(results.size(), 36u);
    const char *strains[] = {"NT", " S", " H", " D", " C"};
    for (int board = 1; board <= 36; ++board) {
        SCOPED_TRACE("board " + std::to_string(board));
        const CDoubleDummyResult &result = results.at(platform::WidenAscii(std::to_string(board)));
        std::string expected = oracle[(board - 1) % 12].m_tricks;
        EXPECT_EQ(platform::Utf16ToUtf8(result.m_strDoubleDummyTricks), expected);
        EXPECT_EQ(result.m_strOptimumResultTable, u"Declarer;Denomination\\2R;Result\\2R");
        // Row k says what digit k says: declarers N, S, E, W, each NT, S, H, D, C.
        std::istringstream rows(platform::Utf16ToUtf8(result.m_strOptimumResultRows));
        std::string row;
        for (int k = 0; k < 20; ++k) {
            ASSERT_TRUE(std::getline(rows, row));
            EXPECT_EQ(row.substr(0, 5), std::string(1, "NSEW"[k / 5]) + " " + strains[k % 5] + " ") << row;
            EXPECT_EQ(std::stoi(row.substr(5)), std::stoi(expected.substr(k, 1), nullptr, 16)) << row;
            EXPECT_EQ(row.back(), '\r');
        }
        EXPECT_FALSE(std::getline(rows, row));
    }
    // The private working folder went with the server, and so did the killed one's.
    EXPECT_EQ(TempFiles(), (std::vector<std::string>{"page.pbn", "tricksmith-standin-running"}));

    // A file that cannot be read is not opened.
    path = (m_root / "tmp" / "missing.pbn").string();
    EXPECT_TRUE(Fails([&] { companion::RunDoubleDummyAnalysis(path); }));
    EXPECT_EQ(Error(), path + ":\r\nCannot open temp file in TS.");
}

} // namespace
