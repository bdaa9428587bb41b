// The dealscope program run as a user runs it: page files and URLs in, PBN and text files out, messages on
// standard error, and an exit code that says whether everything asked for was written.
#include <iconv.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>

#include "app/url_fetcher.h"
#include "conversion/version_info.h"
#include "platform/error_report.h"
#include "platform/wide_text.h"
#include "scratch_dir.h"

namespace {

const fs::path DATA = fs::path(DEALSCOPE_TEST_DATA);

// An argument for the shell, every byte as it is.
std::string Quoted(const std::string &argument) {
    std::string quoted = "'";
    for (char c : argument)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct ProgramResult {
    int exitCode;       // the exit status, or 128 + the signal that ended it
    std::string output; // standard output and standard error together
    double seconds;
};

ProgramResult RunProgram(const std::string &program, const std::vector<std::string> &arguments) {
    std::string command = Quoted(program);
    for (const std::string &argument : arguments)
        command += " " + Quoted(argument);
    auto start = std::chrono::steady_clock::now();
    FILE *pipe = popen((command + " </dev/null 2>&1").c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot start " + program);
    ProgramResult result{-1, "", 0};
    char buffer[4096];
    while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
        result.output.append(buffer, got);
    int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

// tests/batch/page_server.py serving `root` on 127.0.0.1 until the object goes.
class PageServer {
public:
    explicit PageServer(const std::string &root)
        : m_pipe(
              popen(("exec python3 " + Quoted(BATCH_TEST_DIR "/page_server.py") + " " + Quoted(root)).c_str(), "r")) {
        if (!m_pipe || std::fscanf(m_pipe, "%d %d", &m_port, &m_pid) != 2)
            throw std::runtime_error("the page server did not start");
    }
    ~PageServer() {
        kill(m_pid, SIGTERM);
        pclose(m_pipe);
    }
    std::string Url(const std::string &pathAndQuery) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + pathAndQuery;
    }

private:
    FILE *m_pipe;
    int m_port = 0;
    int m_pid = 0;
};

// The PBN text without its "%Created" line, which holds the time of the conversion.
std::string WithoutCreatedLine(std::string pbn) {
    size_t at = pbn.find("\r\n%Created: ");
    if (at != std::string::npos)
        pbn.erase(at, pbn.find("\r\n", at + 2) - at);
    return pbn;
}

void ReplaceAll(std::string &text, const std::string &from, const std::string &to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// UTF-8 text in a single-byte charset, by the C library's converter.
std::string FromUtf8(const std::string &text, const char *charset) {
    iconv_t converter = iconv_open(charset, "UTF-8");
    std::string in = text, out(text.size(), '\0');
    char *inAt = in.data(), *outAt = out.data();
    size_t inLeft = in.size(), outLeft = out.size();
    bool converted = iconv(converter, &inAt, &inLeft, &outAt, &outLeft) != static_cast<size_t>(-1);
    iconv_close(converter);
    if (!converted)
        throw std::runtime_error(std::string("cannot encode in ") + charset);
    out.resize(out.size() - outLeft);
    return out;
}

// A page of the conversion's golden set and the PBN (without "%Created") and report it gives under a recap option.
struct GoldenPage {
    fs::path page;
    std::string pbn;
    std::string text;
    int recapOption;
};

GoldenPage Golden(const std::string &expected, const std::string &page, int recapOption) {
    fs::path folder = DATA / "conversion";
    std::string pbn = ReadFile(folder / "expected" / (expected + ".pbn"));
    CVersionInfo version;
    version.Read();
    ReplaceAll(pbn, "@VERSION@", platform::Utf16ToUtf8(version.m_strVersion));
    return {folder / page, pbn, ReadFile(folder / "expected" / (expected + ".txt")), recapOption};
}

// The page that most tests convert, with the recap option of a fresh installation.
GoldenPage Standard() {
    return Golden("layout_a-omit", "layout_a.htm", 0);
}

class BatchProgramTest : public ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        // Private settings, so that the user's stored recap option cannot change the outputs; and no proxy of the
        // machine between the program and the tests' own server.
        fs::create_directories(m_dir / "config" / "Dealscope");
        setenv("XDG_CONFIG_HOME", (m_dir / "config").c_str(), 1);
        setenv("no_proxy", "127.0.0.1", 1);
        setenv("NO_PROXY", "127.0.0.1", 1);
    }

    static ProgramResult Run(const std::vector<std::string> &arguments) { return RunProgram(DEALSCOPE_EXE, arguments); }
    ProgramResult Convert(const std::string &page) {
        return Run({page, "-pbn", (m_dir / "out.pbn").string(), "-text", (m_dir / "out.txt").string()});
    }
    void ExpectGolden(const GoldenPage &golden, const fs::path &pbn, const fs::path &text) {
        EXPECT_EQ(WithoutCreatedLine(ReadFile(pbn)), golden.pbn);
        EXPECT_EQ(ReadFile(text), golden.text);
    }
};

TEST_F(BatchProgramTest, FailuresEndNonZeroAndWriteNothing) {
    PageServer server(DATA.string());
    setenv("DEALSCOPE_URL_TIMEOUT", "2", 1);
    const std::string pbn = (m_dir / "out.pbn").string(), text = (m_dir / "out.txt").string();
    const std::string missing = (m_dir / "no such page.html").string();
    const std::string noBoards = (DATA / "conversion" / "no_boards.htm").string();
    const std::string absent = server.Url("/files/none.html");
    const std::string longName = (m_dir / (std::string(256, 'n') + ".htm")).string();
    const fs::path huge = m_dir / "huge.htm"; // refused from its size: reading it would hold a gigabyte
    fs::resize_file((WriteFile(huge, ""), huge), MAX_PAGE_BYTES + 1);
    const struct {
        std::vector<std::string> arguments;
        std::vector<std::string> messages;
    } cases[] = {
        {{"-pbn", pbn}, {"No page to convert"}},
        {{missing, "-pbn", pbn}, {missing + ":\nFailed to open document.\nNo such file or directory."}},
        {{m_dir.string(), "-text", text}, {"Is a directory"}}, // a folder is no page
        {{longName, "-pbn", pbn}, {"Failed to open document.\nFile name too long."}},
        {{"file://" + longName, "-pbn", pbn}, {"Failed to open document.\nFile name too long."}},
        {{huge.string(), "-pbn", pbn}, {huge.string() + ":\nFailed to open document.\nThe page is larger than"}},
        {{noBoards, "-text"}, {"No text file was named after -text."}},
        {{noBoards, "-pbn", pbn, "-text", text},
         {"Conversion failed.\n\nNo boards were found.\nThe HTML file may not be in a supported format."}},
        {{absent, "-pbn", pbn}, {absent + ":\nThe page could not be loaded:", "404"}},
        {{"ftp://127.0.0.1/page.html", "-pbn", pbn}, {"The page could not be loaded:"}},
        {{server.Url("/silent"), "-pbn", pbn}, {"no answer within 2 seconds"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments[0]);
        std::string command = "ulimit -v 800000; exec " + Quoted(DEALSCOPE_EXE);
        for (const std::string &argument : c.arguments)
            command += " " + Quoted(argument);
#ifdef __SANITIZE_ADDRESS__
        ProgramResult run = Run(c.arguments); // the sanitizer needs far more address space than any limit
#else
        ProgramResult run = RunProgram("/bin/sh", {"-c", command});
#endif
        EXPECT_NE(run.exitCode, 0);
        for (const std::string &message : c.messages)
            EXPECT_NE(run.output.find(message), std::string::npos) << run.output;
        EXPECT_EQ(EntryCount(), 2u); // only the settings folder and the huge page
        EXPECT_LT(run.seconds, 30);
    }
    for (const char *timeLimit : {"2x", "99999999999", "0"}) {
        setenv("DEALSCOPE_URL_TIMEOUT", timeLimit, 1);
        ProgramResult run = Run({server.Url("/files/conversion/layout_a.htm"), "-pbn", pbn});
        EXPECT_NE(run.exitCode, 0);
        EXPECT_NE(run.output.find("DEALSCOPE_URL_TIMEOUT"), std::string::npos) << run.output;
    }
    unsetenv("DEALSCOPE_URL_TIMEOUT");
}

// A server may send more than any page holds, or never stop: the load ends at a limit with a clear message.
TEST_F(BatchProgramTest, PageLargerThanTheLimitIsRefused) {
    PageServer server(DATA.string());
    for (const std::string path : {"/endless", "/files/conversion/layout_a.htm"}) {
        SCOPED_TRACE(path);
        try {
            FetchUrl(server.Url(path), 4096);
            ADD_FAILURE() << "a page over the limit was loaded";
        } catch (const platform::ProgramException &error) {
            EXPECT_EQ(platform::Utf16ToUtf8(error.Message()),
                      "The page could not be loaded: it is larger than 4096 bytes.");
        }
    }
    EXPECT_EQ(FetchUrl(server.Url("/files/conversion/layout_a.htm")).bytes,
              ReadFile(DATA / "conversion" / "layout_a.htm"));
}

TEST_F(BatchProgramTest, WithoutBatchSwitchTheWindowIsWanted) {
    fs::path alone = m_dir / "dealscope"; // a copy without the window module beside it
    fs::copy_file(DEALSCOPE_EXE, alone);
    for (const std::vector<std::string> &arguments : {std::vector<std::string>{}, {"-dda", "page.html"}}) {
        ProgramResult run = RunProgram(alone.string(), arguments);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_NE(run.output.find("the window is not available"), std::string::npos) << run.output;
    }
    // A batch run loads no window, web or network library it does not need.
    ProgramResult run = RunProgram("/usr/bin/ldd", {DEALSCOPE_EXE});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    for (const char *library : {"libwx_", "libgtk", "libwebkit", "libcurl", "libX11"})
        EXPECT_EQ(run.output.find(library), std::string::npos) << library << " in\n" << run.output;
}

// Every golden page, under the recap option stored in the settings file; each page declares its charset only in
// the page, or not at all (Windows-1252). Page and output names have spaces and '#', or bytes that are not UTF-8
// (ISO-8859-1 names); the switches come in any letter case and order.
TEST_F(BatchProgramTest, GoldenPagesConvertToTheGoldenFiles) {
    const GoldenPage goldens[] = {
        Golden("layout_a-omit", "layout_a.htm", 0),
        Golden("layout_a-insert", "layout_a.htm", 1),
        Golden("layout_a-add", "layout_a.htm", 2),
        Golden("layout_b", "layout_b.htm", 0),
        Golden("windows1252_accents", "windows1252_accents.htm", 2),
        Golden("utf8_outside_latin1", "utf8_outside_latin1.htm", 1),
        Golden("markup_error", "markup_error.htm", 0),
    };
    const std::string names[] = {"club results #3", "r\xe9sultats \xe9t\xe9"};
    for (size_t i = 0; i < std::size(goldens); ++i) {
        const GoldenPage &golden = goldens[i];
        SCOPED_TRACE(golden.page.filename().string() + " recap option " + std::to_string(golden.recapOption));
        WriteFile(m_dir / "config" / "Dealscope" / "Dealscope.ini",
                  "[Settings]\nRecapOption=" + std::to_string(golden.recapOption) + "\n");
        const std::string name = names[i % 2];
        fs::path page = m_dir / (name + ".htm"), pbn = m_dir / (name + " #1.pbn"), text = m_dir / (name + ".txt");
        fs::copy_file(golden.page, page, fs::copy_options::overwrite_existing);
        ProgramResult run = i % 2 == 0 ? Run({page.string(), "-pbn", pbn.string(), "-text", text.string()})
                                       : Run({"-TEXT", "-Pbn", pbn.string(), text.string(), page.string()});
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(run.output, "");
        ExpectGolden(golden, pbn, text);
        EXPECT_EQ(EntryCount(), 4u); // the settings, the page and the outputs under their own names
        for (const fs::path &file : {page, pbn, text})
            fs::remove(file);
    }
}

TEST_F(BatchProgramTest, UnwritableOutputLeavesNoPartialFileAndFails) {
    GoldenPage golden = Standard();
    fs::path blocker = m_dir / "plain file";
    WriteFile(blocker, "keep me");
    fs::path unwritable = blocker / "out.pbn"; // root may write anywhere, but never under a regular file
    ProgramResult run = Run({golden.page.string(), "-pbn", unwritable.string()});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.output.find(unwritable.string() + ":\nCannot create the file: Not a directory."), std::string::npos)
        << run.output;
    EXPECT_EQ(EntryCount(), 2u); // the settings and the blocker

    // The PBN is written first and replaces a longer file whole; the text that cannot be written fails the run.
    fs::path pbn = m_dir / "out.pbn";
    WriteFile(pbn, std::string(100000, 'z'));
    run = Run({golden.page.string(), "-text", (blocker / "out.txt").string(), "-pbn", pbn.string()});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.output.find("Not a directory"), std::string::npos) << run.output;
    EXPECT_EQ(WithoutCreatedLine(ReadFile(pbn)), golden.pbn);
    EXPECT_EQ(ReadFile(blocker), "keep me");
}

// Names outside Windows-1252 on a golden page, the charset declared in one place or another.
TEST_F(BatchProgramTest, CharsetOnlyInHttpHeaderOrOnlyInMetaDeclaration) {
    std::string page = ReadFile(DATA / "conversion" / "layout_a.htm");
    ReplaceAll(page, "Tuesday Evening Pairs",
               "Wtorkowe pary - \xC5\x81\xC3\xB3"
               "d\xC5\xBA");
    ReplaceAll(page, "Ann Able - Bob Baker",
               "Ann \xC5\xBB"
               "ab\xC5\x82"
               "ocki - Zo\xC3\xAB Baker");
    const std::string declaration = "<meta charset=\"windows-1252\">\n";
    ASSERT_NE(page.find(declaration), std::string::npos);
    std::string utf8 = page, bare = page, meta = page;
    ReplaceAll(utf8, declaration, "<meta charset=\"utf-8\">\n");
    ReplaceAll(bare, declaration, "");
    ReplaceAll(meta, declaration, "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-2\">\n");
    fs::create_directories(m_dir / "pages");
    WriteFile(m_dir / "pages" / "utf8.html", utf8);
    WriteFile(m_dir / "pages" / "bare.html", FromUtf8(bare, "ISO-8859-2"));
    WriteFile(m_dir / "pages" / "meta.html", FromUtf8(meta, "ISO-8859-2"));
    PageServer server((m_dir / "pages").string());

    // The UTF-8 page gives the expected outputs: its names come out right.
    ASSERT_EQ(Convert((m_dir / "pages" / "utf8.html").string()).exitCode, 0);
    const std::string pbn = WithoutCreatedLine(ReadFile(m_dir / "out.pbn")), text = ReadFile(m_dir / "out.txt");
    ASSERT_NE(pbn.find("\xC5\xBB"
                       "ab\xC5\x82"
                       "ocki"),
              std::string::npos)
        << pbn;

    const struct {
        std::string page;
        bool same;
    } cases[] = {
        {server.Url("/files/bare.html?charset=ISO-8859-2"), true},
        {(m_dir / "pages" / "meta.html").string(), true},
        {server.Url("/files/bare.html"), false}, // no declaration at all: Windows-1252
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.page);
        ProgramResult run = Convert(c.page);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(WithoutCreatedLine(ReadFile(m_dir / "out.pbn")) == pbn, c.same);
        EXPECT_EQ(ReadFile(m_dir / "out.txt") == text, c.same);
    }
}

TEST_F(BatchProgramTest, RedirectedUrlAndFileUrlGiveTheGoldenFiles) {
    GoldenPage golden = Standard();
    PageServer server(DATA.string());
    fs::copy_file(golden.page, m_dir / "club results #3.htm");
    for (const std::string &url : {server.Url("/redirect?to=/files/conversion/layout_a.htm&hops=2"),
                                   "file://" + m_dir.string() + "/club%20results%20%233.htm"}) {
        SCOPED_TRACE(url);
        ProgramResult run = Convert(url);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        ExpectGolden(golden, m_dir / "out.pbn", m_dir / "out.txt");
    }
}

} // namespace
