// The program run as a user runs it: pages in, PBN and text out, messages, and an exit code.
#include <signal.h>
#include <sys/stat.h>

#include "../companion/companion_fixture.h"
#include "app/url_fetcher.h"
#include "conversion/version_info.h"

namespace {

const fs::path CONVERSION = fs::path(DEALSCOPE_TEST_DATA) / "conversion";

void ReplaceAll(std::string &text, const std::string &from, const std::string &to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

struct PageServer {
    explicit PageServer(const fs::path &root)
        : m_pipe(
              popen(("exec python3 " + Quoted(BATCH_TEST_DIR "/page_server.py") + " " + Quoted(root)).c_str(), "r")) {
        if (!m_pipe || std::fscanf(m_pipe, "%d %d", &m_port, &m_pid) != 2)
            throw std::runtime_error("the page server did not start");
    }
    ~PageServer() {
        kill(m_pid, SIGTERM);
        pclose(m_pipe);
    }
    std::string Url(const std::string &path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }
    FILE *m_pipe;
    int m_port = 0, m_pid = 0;
};

class BatchProgramTest : public CompanionFixture {
protected:
    static ProgramResult Run(const std::vector<std::string> &arguments) { return RunProgram(DEALSCOPE_EXE, arguments); }
    // The golden PBN (but for the "%Created" line) and report.
    static void ExpectGolden(const std::string &golden, const fs::path &pbn, const fs::path &text = {}) {
        std::string expected = ReadFile(CONVERSION / "expected" / (golden + ".pbn"));
        CVersionInfo version;
        version.Read();
        ReplaceAll(expected, "@VERSION@", platform::Utf16ToUtf8(version.m_strVersion));
        EXPECT_EQ(WithoutCreatedLine(ReadFile(pbn)), expected);
        EXPECT_TRUE(text.empty() || ReadFile(text) == ReadFile(CONVERSION / "expected" / (golden + ".txt"))) << golden;
    }
};

TEST_F(BatchProgramTest, FailuresEndNonZeroAndWriteNothing) {
    PageServer server(CONVERSION);
    SetEnv("DEALSCOPE_URL_TIMEOUT", "2");
    const std::string pbn = (m_dir / "out.pbn").string(), text = (m_dir / "out.txt").string();
    const std::string page = (CONVERSION / "layout_a.htm").string(), url = server.Url("/layout_a.htm");
    const std::string missing = (m_dir / "no such page.html").string(), absent = server.Url("/none.html");
    const std::string noBoards = (CONVERSION / "no_boards.htm").string();
    const std::string longName = (m_dir / (std::string(256, 'n') + ".htm")).string();
    const fs::path huge = m_dir / "huge.htm"; // reading it would hold a gigabyte
    fs::resize_file((WriteFile(huge, ""), huge), MAX_PAGE_BYTES + 1);
    const std::string blocked = (huge / "out.pbn").string();
    const struct {
        std::vector<std::string> arguments, messages;
        const char *companion = "normal"; // "" for none registered
        const char *urlTimeout = "2";
    } cases[] = {
        {{"-pbn", pbn}, {"No page to convert"}},
        {{missing, "-pbn", pbn}, {missing + ":\nFailed to open document.\nNo such file or directory."}},
        {{m_dir.string(), "-text", text}, {"Is a directory"}}, // a folder is no page
        {{longName, "-pbn", pbn}, {"Failed to open document.\nFile name too long."}},
        {{"file://" + longName, "-pbn", pbn}, {"Failed to open document.\nFile name too long."}},
        {{huge.string(), "-pbn", pbn}, {huge.string() + ":\nFailed to open document.\nThe page is larger than"}},
        {{noBoards, "-text"}, {"No text file was named after -text."}},
        {{page, "-text", text, "-pbn"}, {"No PBN file was named after -pbn."}},
        {{noBoards, "-pbn", pbn, "-text", text},
         {"Conversion failed.\n\nNo boards were found.\nThe HTML file may not be in a supported format."}},
        {{page, "-pbn", blocked}, {blocked + ":\nCannot create the file: Not a directory."}},
        {{absent, "-pbn", pbn}, {absent + ":\nThe page could not be loaded:", "404"}},
        {{"ftp://127.0.0.1/page.html", "-pbn", pbn}, {"The page could not be loaded:"}},
        {{server.Url("/silent"), "-pbn", pbn}, {"no answer within 2 seconds"}},
        {{server.Url("/redirect?to=file://" + page), "-pbn", pbn}, {"The page could not be loaded:"}},
        {{url, "-pbn", pbn}, {"DEALSCOPE_URL_TIMEOUT must be"}, "normal", "2x"},
        {{url, "-pbn", pbn}, {"DEALSCOPE_URL_TIMEOUT must be"}, "normal", "0"},
        {{page, "-dda", "-pbn", pbn}, {"Tricksmith.Object:\nClass not registered"}, ""},
        {{noBoards, "-dda", "-pbn", pbn}, {"The analysis failed for board 7."}, "error-analyse"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments[0]);
        setenv("DEALSCOPE_URL_TIMEOUT", c.urlTimeout, 1);
        setenv("FAKE_COMPANION_MODE", c.companion, 1);
        fs::remove(companion::ClassesFilePath());
        if (*c.companion)
            Register(FAKE_COMPANION);
#ifdef __SANITIZE_ADDRESS__
        ProgramResult run = Run(c.arguments); // the sanitizer needs far more address space than any limit
#else
        ProgramResult run = RunProgram(DEALSCOPE_EXE, c.arguments, "ulimit -v 800000; ");
#endif
        EXPECT_NE(run.exitCode, 0);
        for (const std::string &message : c.messages)
            EXPECT_NE(run.output.find(message), std::string::npos) << run.output;
        EXPECT_EQ(Names(), (std::vector<std::string>{"home", "huge.htm", "tmp"}));
    }
    ExpectFakeGone();

    // The PBN, written first, replaces a longer file whole; the text that cannot be written fails the run.
    WriteFile(pbn, std::string(100000, 'z'));
    ProgramResult run = Run({page, "-text", (huge / "out.txt").string(), "-pbn", pbn});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.output.find("Not a directory"), std::string::npos) << run.output;
    ExpectGolden("layout_a-omit", pbn);

    for (const std::string path : {"/endless", "/layout_a.htm"}) {
        try {
            FetchUrl(server.Url(path), 4096);
            ADD_FAILURE() << path << " loaded";
        } catch (const platform::ProgramException &error) {
            EXPECT_EQ(platform::Utf16ToUtf8(error.Message()),
                      "The page could not be loaded: it is larger than 4096 bytes.");
        }
    }
}

TEST_F(BatchProgramTest, WithoutBatchSwitchTheWindowIsWanted) {
    fs::path alone = m_dir / "dealscope"; // a copy without the window module beside it
    fs::copy_file(DEALSCOPE_EXE, alone);
    ProgramResult run = RunProgram(alone.string(), {"-dda", "page.html"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.output.find("the window is not available"), std::string::npos) << run.output;
    // A batch run loads no window, web or network library it does not need.
    run = RunProgram("/usr/bin/ldd", {DEALSCOPE_EXE});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    for (const char *library : {"libwx_", "libgtk", "libwebkit", "libcurl", "libX11"})
        EXPECT_EQ(run.output.find(library), std::string::npos) << library << " in\n" << run.output;
}

// Recap option from the settings file, names with spaces, '#' and non-UTF-8 bytes, the charset only in the HTTP
// header, "-dda" through the stand-in.
TEST_F(BatchProgramTest, PagesFromFilesAndUrlsGiveTheGoldenFiles) {
    PageServer server(m_dir);
    RegisterStandin();
    const std::string name = "club results #3", latin1 = "r\xe9sultats \xe9t\xe9";
    const std::string page = (m_dir / (name + ".htm")).string();
    fs::copy_file(CONVERSION / "layout_a.htm", page);
    fs::copy_file(CONVERSION / "layout_a.htm", m_dir / (latin1 + ".htm"));
    std::string utf8 = ReadFile(CONVERSION / "utf8_outside_latin1.htm");
    ReplaceAll(utf8, "<meta charset=\"UTF-8\">", "");
    WriteFile(m_dir / "bare.htm", utf8);
    const std::string pbn = (m_dir / (name + " #1.pbn")).string(), text = (m_dir / (latin1 + ".txt")).string();
    const struct {
        int recapOption;
        const char *golden;
        std::string page;
        bool switchesFirst = false, dda = false;
    } cases[] = {
        {0, "layout_a-omit", page},
        {1, "layout_a-insert", (m_dir / (latin1 + ".htm")).string(), true},
        {2, "layout_a-add", "file://" + m_dir.string() + "/club%20results%20%233.htm"},
        {1, "utf8_outside_latin1", server.Url("/redirect?to=/bare.htm")},
        {0, "layout_a-dd", page, false, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.page);
        WriteFile(m_dir / "home" / ".config" / "Dealscope" / "Dealscope.ini",
                  "[Settings]\nRecapOption=" + std::to_string(c.recapOption) + "\n");
        ProgramResult run = c.switchesFirst ? Run({"-TEXT", "-Pbn", pbn, text, c.page})
                            : c.dda         ? Run({c.page, "-pbn", pbn, "-dDa", "-text", text})
                                            : Run({c.page, "-pbn", pbn, "-text", text});
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(run.output, "");
        ExpectGolden(c.golden, pbn, text);
        fs::remove(pbn);
        fs::remove(text);
        EXPECT_EQ(Names().size(), 5u) << testing::PrintToString(Names()); // no file beside the outputs
    }
}

// /dev/stdout, /dev/stderr and /proc/self/fd/N are the streams the run was given: the outputs go there
// as they come, after what the stream holds, whatever it leads to; nothing is truncated or replaced.
TEST_F(BatchProgramTest, HeldDescriptorsTakeTheOutputsAsTheyCome) {
    const std::string page = (CONVERSION / "layout_a.htm").string();
    ASSERT_EQ(Run({page, "-pbn", (m_dir / "ref.pbn").string(), "-text", (m_dir / "ref.txt").string()}).exitCode, 0);
    const std::string pbn = WithoutCreatedLine(ReadFile(m_dir / "ref.pbn")), text = ReadFile(m_dir / "ref.txt");
    SetEnv("D", DEALSCOPE_EXE);
    SetEnv("P", page);
    WriteFile(m_dir / "log", "log start\n");
    const struct {
        std::string script, file, expected;
    } cases[] = {
        {R"({ echo header; "$D" "$P" -pbn /dev/stdout; echo footer; } > all.txt)", "all.txt",
         "header\n" + pbn + "footer\n"},
        {R"("$D" "$P" -pbn /proc/self/fd/3 -text /dev/stderr 3>> log 2>&3)", "log", "log start\n" + pbn + text},
        {R"("$D" "$P" -pbn /dev/stdout | cat > piped)", "piped", pbn},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.script);
        ProgramResult run = RunProgram("/bin/sh", {"-c", "cd " + Quoted(m_dir) + " && " + c.script});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.output, "");
        const std::string written = WithoutCreatedLine(ReadFile(m_dir / c.file));
        EXPECT_TRUE(written == c.expected) << written.size() << " bytes, not " << c.expected.size();
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"all.txt", "home", "log", "piped", "ref.pbn", "ref.txt", "tmp"}));
}

// The second output named for the first file (by any name) would replace it, and the page named as an output would
// be lost: refused before anything is read or written. Two names of one stream write it in turn.
TEST_F(BatchProgramTest, OneFileNamedTwiceOrThePageNamedAsAnOutputIsRefused) {
    const std::string pageBytes = ReadFile(CONVERSION / "layout_a.htm");
    WriteFile(m_dir / "page.htm", pageBytes);
    WriteFile(m_dir / "old.txt", "keep");
    fs::create_hard_link(m_dir / "old.txt", m_dir / "hard.txt");
    fs::create_symlink("page.htm", m_dir / "soft page");
    const std::vector<std::string> names = Names();
    const std::string here = "cd " + Quoted(m_dir) + "; ";
    const std::string twice = "The PBN file and the text file are the same file";
    const std::string onPage = "This is the page file: writing to it would overwrite the page.";
    const struct {
        std::vector<std::string> arguments;
        std::string message, prefix = "";
    } cases[] = {
        {{"page.htm", "-pbn", "new.pbn", "-text", "./new.pbn"}, "./new.pbn:\n" + twice},
        {{"page.htm", "-pbn", "old.txt", "-text", "hard.txt"}, twice},
        {{"page.htm", "-pbn", "/dev/stdout", "-text", "old.txt"}, twice, "exec >>old.txt; "},
        {{"page.htm", "-pbn", "./page.htm"}, "./page.htm:\n" + onPage},
        {{"file://" + (m_dir / "page.htm").string(), "-text", "page.htm"}, onPage},
        {{"soft page", "-pbn", "/dev/stdout"}, onPage, "exec >>page.htm; "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments[2] + " " + c.prefix);
        ProgramResult run = RunProgram(DEALSCOPE_EXE, c.arguments, here + c.prefix);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        EXPECT_EQ(Names(), names);
        EXPECT_EQ(ReadFile(m_dir / "old.txt"), "keep");
        EXPECT_TRUE(ReadFile(m_dir / "page.htm") == pageBytes);
    }
    for (const std::string same : {"/dev/null", "/dev/stdout"}) {
        ProgramResult run = RunProgram(DEALSCOPE_EXE, {"page.htm", "-pbn", same, "-text", same}, here);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        // On the stream, the export and then the report.
        const size_t pbnAt = run.output.find("% PBN 2.1"), textAt = run.output.find("=1=====");
        EXPECT_TRUE(same == "/dev/null" ? run.output.empty() : pbnAt == 0 && textAt != std::string::npos) << run.output;
    }
}

// A run never waits for ever: an output pipe that nobody reads and settings files that are no regular files (a
// pipe, a link to /dev/zero) get a message; only a page given as a pipe waits for its writer, as any reader does.
TEST_F(BatchProgramTest, NothingButThePageWaitsForOthers) {
    const std::string page = (CONVERSION / "layout_a.htm").string(), pbn = (m_dir / "out.pbn").string();
    const fs::path settings = m_dir / "home" / ".config" / "Dealscope";
    ASSERT_EQ(mkfifo((m_dir / "out.pipe").c_str(), 0600) | mkfifo((m_dir / "page.pipe").c_str(), 0600) |
                  mkfifo((settings / "Dealscope.ini").c_str(), 0600),
              0);
    fs::create_symlink("/dev/zero", companion::ClassesFilePath());
    const std::string unreadable = ":\nThe file cannot be read: it is not a regular file.";
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{page, "-pbn", (m_dir / "out.pipe").string()},
         1,
         "out.pipe:\nCannot write the file: it is a named pipe that no program is reading."},
        {{page, "-pbn", pbn}, 0, "Dealscope.ini" + unreadable},
        {{page, "-dda", "-pbn", pbn}, 1, "classes.ini" + unreadable}};
    for (const auto &[arguments, exitCode, message] : cases) {
        std::vector<std::string> timed{"30", DEALSCOPE_EXE};
        timed.insert(timed.end(), arguments.begin(), arguments.end());
        ProgramResult run = RunProgram("/usr/bin/timeout", timed); // 124 when it waited
        EXPECT_EQ(run.exitCode, exitCode) << run.output;
        EXPECT_NE(run.output.find(message), std::string::npos) << run.output;
    }
    EXPECT_TRUE(fs::is_fifo(m_dir / "out.pipe") && fs::is_fifo(settings / "Dealscope.ini"));
    EXPECT_EQ(fs::read_symlink(companion::ClassesFilePath()), "/dev/zero");

    fs::remove(pbn);
    // The writer opens the pipe itself, so that nothing is left waiting when the run does not read.
    const std::string pipe = Quoted((m_dir / "page.pipe").string());
    ProgramResult run = RunProgram("/bin/sh", {"-c", "timeout 30 dd status=none if=" + Quoted(page) + " of=" + pipe +
                                                         " & timeout 30 " + Quoted(DEALSCOPE_EXE) + " " + pipe +
                                                         " -pbn " + Quoted(pbn) + "; status=$?; wait; exit $status"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    ExpectGolden("layout_a-omit", pbn);
}

} // namespace
