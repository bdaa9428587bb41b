// The stand-in companion: its trick tables and par scores must equal libdds's own for the reference deals.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "../bridge/dds_support.h"
#include "companion/double_dummy_analysis.h"
#include "companion_fixture.h"
#include "deal_check.h"
#include "pbn_file.h"
#include "pbn_games.h"

namespace {

const std::string DEAL = "N:QJ6.K652.J85.T98 873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ3";

TEST(Standin, OnlyCompleteDistinctDealsPassAndPbnIsRead) {
    standin::DealCards north, east;
    ASSERT_TRUE(standin::ReadCompleteDeal(DEAL, north));
    // The first seat rotates the hands: East's hand comes first.
    ASSERT_TRUE(
        standin::ReadCompleteDeal("E:873.J97.AT764.Q4 K5.T83.KQ9.A7652 AT942.AQ4.32.KJ3 QJ6.K652.J85.T98", east));
    EXPECT_EQ(north, east);
    const std::string hands = DEAL.substr(2, DEAL.rfind(' ') - 2);
    for (const std::string &deal : {"N:" + hands + " -", "N:" + hands + " AT942.AQ4.32.KJ", // 12 cards
                                    "N:" + hands + " AT942.AQ4.32.KJ2",                     // the two of clubs twice
                                    "N:" + hands + " AT942.AQ4.32.KJx", "N:" + hands, "X" + DEAL.substr(1),
                                    "N:" + hands + " AT942.AQ4.32.KJ3.2", DEAL + " AKQ", std::string()})
        EXPECT_FALSE(standin::ReadCompleteDeal(deal, north)) << deal;

    std::string latin1 = "% PBN 2.1\r\n[Event \"Caf\xe9\"]\r\n{a recap\r\n\r\n[Board \"9\"]\r\n}\r\n"
                         "[Board \"1\"]\r\n\r\n[Board \"2\"]\r\n";
    auto games = standin::ParsePbnGames(standin::DecodePbnBytes(latin1));
    ASSERT_EQ(games.size(), 2u);
    EXPECT_EQ(games[0].Find("Event")->m_value, "Caf\xc3\xa9"); // ISO-8859-1 read as such
    EXPECT_EQ(games[0].Find("Board")->m_value, "1");           // the commentary's lines are no tags
    EXPECT_EQ(games[1].Find("Board")->m_value, "2");
}

TEST(Standin, ServesAParentThatIsProcessOne) {
    // In a container Dealscope may be process 1; a new process namespace makes the stand-in's parent so.
    if (std::system("unshare --pid --fork true >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no process namespaces here";
    ProgramResult run = RunProgram(
        "unshare", {"--pid", "--fork", "sh", "-c", "echo QUIT | " + Quoted(TRICKSMITH_STANDIN) + " --automation"});
    EXPECT_EQ(run.output, "READY 1\nOK empty\n");
    EXPECT_EQ(run.exitCode, 0);
}

using StandinAnalysisTest = CompanionFixture;

TEST_F(StandinAnalysisTest, TablesEqualLibddsOwnInBatches) {
    RegisterStandin();

    // More boards than one solver call takes, every reference deal three times, ISO-8859-1, a recap commentary.
    auto oracle = ReadReferenceTables(DEALSCOPE_TEST_DATA "/bridge/dds-tables-100.txt");
    ASSERT_GE(oracle.size(), 12u);
    std::string pbn = "% PBN 2.1\r\n% EXPORT\r\n[Event \"Caf\xe9\"]\r\n{Recap\r\n\r\n[Board \"99\"]\r\n}\r\n\r\n";
    for (int board = 1; board <= 36; ++board)
        pbn += "[Board \"" + std::to_string(board) + "\"]\r\n[Deal \"" + oracle[(board - 1) % 12].first + "\"]\r\n\r\n";
    std::string path = (m_dir / "tmp" / "page.pbn").string();
    WriteFile(path, pbn);
    // Working folders of earlier stand-ins: one killed (its lock free), one still running (its lock held), one
    // killed an hour ago while it was making its folder (before its lock file), and one making its folder now.
    for (const char *name : {"tricksmith-standin-killed", "tricksmith-standin-running", ".tricksmith-standin-old",
                             ".tricksmith-standin-new"}) {
        fs::create_directory(m_dir / "tmp" / name);
        if (name[0] != '.')
            WriteFile(m_dir / "tmp" / name / "lock", "");
    }
    fs::last_write_time(m_dir / "tmp" / ".tricksmith-standin-old",
                        fs::file_time_type::clock::now() - std::chrono::minutes(61));
    int held = open((m_dir / "tmp" / "tricksmith-standin-running" / "lock").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(held, LOCK_EX), 0);

    // 37 games: the event's own before the 36 boards.
    companion::DoubleDummyResults results = companion::RunDoubleDummyAnalysis(path, 37);
    close(held);
    EXPECT_TRUE(m_errors.empty()) << Error();
    ASSERT_EQ(results.size(), 36u);
    const char *strains[] = {"NT", " S", " H", " D", " C"};
    for (int board = 1; board <= 36; ++board) {
        SCOPED_TRACE("board " + std::to_string(board));
        const CDoubleDummyResult &result = results.at(platform::WidenAscii(std::to_string(board)));
        std::string tricks, rows; // declarers N, S, E, W, each NT, S, H, D, C
        for (int k = 0; k < 20; ++k) {
            const int n = oracle[(board - 1) % 12].second.m_tricks["0213"[k / 5] - '0'][(k + 4) % 5];
            tricks += "0123456789abcd"[n];
            rows += std::string(1, "NSEW"[k / 5]) + " " + strains[k % 5] + (n < 10 ? "  " : " ") + std::to_string(n) +
                    "\r\n";
        }
        EXPECT_EQ(platform::Utf16ToUtf8(result.m_strDoubleDummyTricks), tricks);
        EXPECT_EQ(result.m_strOptimumResultTable, u"Declarer;Denomination\\2R;Result\\2R");
        EXPECT_EQ(platform::Utf16ToUtf8(result.m_strOptimumResultRows), rows);
    }
    // The private working folder went with the server, and so did the killed one's.
    EXPECT_EQ(TempFiles(),
              (std::vector<std::string>{".tricksmith-standin-new", "page.pbn", "tricksmith-standin-running"}));

    path = (m_dir / "tmp" / "missing.pbn").string();
    EXPECT_THROW(companion::RunDoubleDummyAnalysis(path, 36), platform::UserException);
    EXPECT_EQ(Error(), path + ":\r\nCannot open temp file in TS.");
}

TEST_F(StandinAnalysisTest, StandinsStartingTogetherEachGetAWorkingFolder) {
    // Each start a process of its own, forty at a time, some ending as if killed; without the solver's weight.
    ProgramResult run = RunProgram(WORK_FOLDER_DRIVER, {"2000", "40"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(TempFiles(), std::vector<std::string>{});
}

// The pipes of a stand-in server that a test starts itself. The test keeps the server's input open, so that the
// server waits for requests (as it does not read them during an analysis) until it is ended otherwise.
struct ServerPipes {
    int input[2], output[2];
    ServerPipes() { EXPECT_EQ(pipe2(input, O_CLOEXEC) | pipe2(output, O_CLOEXEC), 0); }
    ~ServerPipes() {
        for (int fd : {input[0], input[1], output[0], output[1]})
            close(fd); // -1 for one already closed
    }
    // Starts the server and waits for its greeting, by which its working folder is made; its process id, or -1.
    pid_t Serve() {
        pid_t server = fork();
        if (server == 0) {
            const rlimit noCore{0, 0}; // SIGQUIT's default action
            setrlimit(RLIMIT_CORE, &noCore);
            dup2(input[0], 0);
            dup2(output[1], 1);
            execl(TRICKSMITH_STANDIN, TRICKSMITH_STANDIN, "--automation", nullptr);
            _exit(127);
        }
        close(std::exchange(input[0], -1));
        close(std::exchange(output[1], -1)); // a server that ends without a greeting ends the wait for it
        char greeting[9] = {};
        return server > 0 && read(output[0], greeting, 8) == 8 && std::string(greeting) == "READY 1\n" ? server : -1;
    }
};

// A stand-in ended by an interrupt removes its working folder on the way and ends by that signal; so does one whose
// Dealscope ends without a word (a batch run interrupted during the analysis), which it learns by SIGTERM.
TEST_F(StandinAnalysisTest, InterruptedStandinRemovesItsWorkingFolder) {
    for (int interrupt : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        SCOPED_TRACE(strsignal(interrupt));
        ServerPipes pipes;
        const pid_t server = pipes.Serve();
        ASSERT_GT(server, 0);
        EXPECT_EQ(TempFiles().size(), 1u);
        kill(server, interrupt);
        int status = 0, waited = 0;
        while (waitpid(server, &status, WNOHANG) == 0 && ++waited < 500)
            usleep(10 * 1000);
        if (waited == 500 && kill(server, SIGKILL) == 0) // still running after 5 s: it went on
            waitpid(server, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == interrupt) << status;
        EXPECT_EQ(TempFiles(), std::vector<std::string>{});
    }
    ServerPipes pipes;
    EXPECT_EQ(RunInChild([&] { return pipes.Serve() > 0 ? raise(SIGINT) : 1; }), 128 + SIGINT);
    for (int waited = 0; waited < 500 && !TempFiles().empty(); ++waited)
        usleep(10 * 1000);
    EXPECT_EQ(TempFiles(), std::vector<std::string>{});
}

TEST_F(StandinAnalysisTest, OnlyRegularFilesOfBoundedSizeAreOpened) {
    const fs::path pipe = m_dir / "pipe", huge = m_dir / "huge.pbn", good = m_dir / "two.pbn";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    WriteFile(huge, "");
    fs::resize_file(huge, standin::MAX_PBN_FILE_BYTES + 1); // sparse: nothing of it need be read
    WriteFile(good, "[Board \"1\"]\r\n\r\n[Board \"2\"]\r\n");
    // Should a pipe be opened after all, the wait for its writer must end.
    const std::string standin = "timeout 20 " + Quoted(TRICKSMITH_STANDIN);
    for (const auto &[path, why] : std::initializer_list<std::pair<fs::path, std::string>>{
             {m_dir / "home", "Is a directory"},
             {"/dev/zero", "not a regular file"},
             {pipe, "not a regular file"}, // and no wait for a writer
             {huge, "larger than 1073741824 bytes"},
             {m_dir / "missing.pbn", "No such file or directory"}}) {
        ProgramResult run = RunProgram("sh", {"-c", standin + " " + Quoted(path.string())});
        EXPECT_EQ(run.output, "tricksmith-standin: cannot open " + path.string() + ": " + why + "\n");
        EXPECT_EQ(run.exitCode, 1);
    }
    ProgramResult run = RunProgram(TRICKSMITH_STANDIN, {good.string()});
    EXPECT_EQ(run.output, good.string() + ": 2 boards\nBoard 1\nBoard 2\n");
    EXPECT_EQ(run.exitCode, 0);

    // The server refuses the same files: the pipe, then the good file.
    WriteFile(m_dir / "requests", "INVOKE 1 20 method " + companion::BstrArg(pipe.string()) + "\nINVOKE 1 20 method " +
                                      companion::BstrArg(good.string()) + "\nINVOKE 2 1 get\nQUIT\n");
    run = RunProgram("sh", {"-c", standin + " --automation < " + Quoted((m_dir / "requests").string())});
    EXPECT_EQ(run.output, "READY 1\nOK bool:0\nOK bool:1\nOK i4:2\nOK empty\n");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(TempFiles(), std::vector<std::string>{}); // the working folder went with the server
}

} // namespace
