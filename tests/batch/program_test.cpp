// The dealscope program run as a user runs it: page files and URLs in, PBN and text files out, messages on
// standard error, and an exit code that says whether everything asked for was written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/url_fetcher.h"
#include "conversion/version_info.h"
#include "platform/error_report.h"
#include "platform/wide_text.h"
#include "program_runner.h"

namespace fs = std::filesystem;

namespace {

const std::string PROGRAM = DEALSCOPE_EXE;
const fs::path DATA = fs::path(DEALSCOPE_TEST_DATA);

std::string ReadFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The PBN text without its "%Created" line, which holds the time of the conversion.
std::string WithoutCreatedLine(std::string pbn) {
    size_t at = pbn.find("\r\n%Created: ");
    if (at != std::string::npos)
        pbn.erase(at, pbn.find("\r\n", at + 2) - at);
    return pbn;
}

// A page of the conversion's golden set and the PBN and text report it converts to with a recap option.
struct GoldenPage {
    fs::path page;
    std::string pbn; // without the "%Created" line
    std::string text;
    int recapOption;
};

GoldenPage Golden(const std::string &expected, const std::string &page, int recapOption) {
    fs::path folder = DATA / "conversion";
    std::string pbn = ReadFile(folder / "expected" / (expected + ".pbn"));
    CVersionInfo version;
    version.Read();
    const std::string marker = "@VERSION@";
    if (size_t at = pbn.find(marker); at != std::string::npos)
        pbn.replace(at, marker.size(), platform::Utf16ToUtf8(version.m_strVersion));
    return {folder / page, pbn, ReadFile(folder / "expected" / (expected + ".txt")), recapOption};
}

// The page that most tests convert, with the recap option of a fresh installation.
GoldenPage Standard() {
    return Golden("layout_a-omit", "layout_a.htm", 0);
}

class BatchProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("dealscope-batch-" + std::to_string(getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "config");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // A private settings folder, so that the user's stored recap option cannot change the outputs.
    ProgramResult Run(const std::vector<std::string> &arguments, std::vector<std::string> environment = {}) {
        environment.push_back("XDG_CONFIG_HOME=" + (m_dir / "config").string());
        // The tests' server is local: no proxy of the machine may stand between.
        environment.push_back("no_proxy=127.0.0.1");
        environment.push_back("NO_PROXY=127.0.0.1");
        return RunProgram(PROGRAM, arguments, environment);
    }
    size_t FilesIn(const fs::path &dir) const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {}));
    }

    fs::path m_dir;
};

TEST_F(BatchProgramTest, NoPageEndsAtOnceWithFailure) {
    ProgramResult run = Run({"-pbn", (m_dir / "out.pbn").string()});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("No page to convert"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(m_dir / "out.pbn"));
}

TEST_F(BatchProgramTest, MissingOrUnreadablePageFileFails) {
    fs::path missing = m_dir / "no such page.html";
    ProgramResult run = Run({missing.string(), "-pbn", (m_dir / "out.pbn").string()});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find(missing.string() + ":\nFailed to open document.\nNo such file or directory."),
              std::string::npos)
        << run.err;

    run = Run({m_dir.string(), "-text", (m_dir / "out.txt").string()}); // a folder is no page
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("Is a directory"), std::string::npos) << run.err;
    EXPECT_EQ(FilesIn(m_dir), 1u); // only the settings folder
}

TEST_F(BatchProgramTest, OutputSwitchWithoutNameFailsBeforeLoading) {
    ProgramResult run = Run({(DATA / "batch" / "no_boards.html").string(), "-text"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("No text file was named after -text."), std::string::npos) << run.err;
}

TEST_F(BatchProgramTest, PageWithoutBoardsWritesNothingAndFails) {
    fs::path pbn = m_dir / "out.pbn";
    fs::path text = m_dir / "out.txt";
    ProgramResult run =
        Run({(DATA / "batch" / "no_boards.html").string(), "-pbn", pbn.string(), "-text", text.string()});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("Conversion failed.\n\nNo boards were found.\nThe HTML file may not be in a "
                           "supported format."),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(pbn));
    EXPECT_FALSE(fs::exists(text));
}

TEST_F(BatchProgramTest, GoldenPageWithoutBoardsWritesNothing) {
    fs::path pbn = m_dir / "out.pbn";
    ProgramResult run = Run({(DATA / "conversion" / "no_boards.htm").string(), "-pbn", pbn.string()});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("No boards were found."), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(pbn));
}

TEST_F(BatchProgramTest, UrlThatDoesNotAnswerEndsAfterTimeLimit) {
    PageServer server(DATA.string());
    ProgramResult run = Run({server.Url("/silent"), "-pbn", (m_dir / "out.pbn").string()}, {"DEALSCOPE_URL_TIMEOUT=2"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_LT(run.seconds, 30);
    EXPECT_NE(run.err.find("no answer within 2 seconds"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(m_dir / "out.pbn"));
}

// A server may send more than any page holds, or never stop: the load ends at a limit with a clear message.
TEST(UrlFetcherTest, PageLargerThanTheLimitIsRefused) {
    setenv("no_proxy", "127.0.0.1", 1);
    setenv("NO_PROXY", "127.0.0.1", 1);
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

TEST_F(BatchProgramTest, UrlErrorsAreReportedWithTheUrl) {
    PageServer server(DATA.string());
    std::string missing = server.Url("/files/batch/none.html");
    ProgramResult run = Run({missing, "-pbn", (m_dir / "out.pbn").string()});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find(missing + ":\nThe page could not be loaded:"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("404"), std::string::npos) << run.err;

    run = Run({"ftp://127.0.0.1/page.html", "-pbn", (m_dir / "out.pbn").string()});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("The page could not be loaded:"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(m_dir / "out.pbn"));
}

TEST_F(BatchProgramTest, WithoutBatchSwitchTheWindowIsWanted) {
    // A copy of the program without the window module beside it.
    fs::path alone = m_dir / "dealscope";
    fs::copy_file(PROGRAM, alone);
    for (const std::vector<std::string> &arguments : {std::vector<std::string>{}, {"-dda", "page.html"}}) {
        ProgramResult run = RunProgram(alone.string(), arguments);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_NE(run.err.find("the window is not available"), std::string::npos) << run.err;
    }
}

TEST_F(BatchProgramTest, ProgramDoesNotLinkWindowOrWebLibraries) {
    ProgramResult run = RunProgram("/usr/bin/ldd", {PROGRAM});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const char *library : {"libwx_", "libgtk", "libwebkit", "libcurl", "libX11"})
        EXPECT_EQ(run.out.find(library), std::string::npos) << library << " in\n" << run.out;
}

TEST_F(BatchProgramTest, PageFileWithSpacesAndHashWritesBothOutputs) {
    GoldenPage golden = Standard();
    fs::path page = m_dir / "club results #3.htm";
    fs::copy_file(golden.page, page);
    fs::path pbn = m_dir / "out #1.pbn";
    fs::path text = m_dir / "report 2 #.txt";
    ProgramResult run = Run({page.string(), "-pbn", pbn.string(), "-text", text.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(WithoutCreatedLine(ReadFile(pbn)), golden.pbn);
    EXPECT_EQ(ReadFile(text), golden.text);

    // Switches in upper case, the outputs named before the page, the text switch first: the same files.
    fs::remove(pbn);
    fs::remove(text);
    run = Run({"-TEXT", "-Pbn", pbn.string(), text.string(), page.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(WithoutCreatedLine(ReadFile(pbn)), golden.pbn);
    EXPECT_EQ(ReadFile(text), golden.text);
}

TEST_F(BatchProgramTest, FileNamesThatAreNotUtf8AreTheFilesUsed) {
    GoldenPage golden = Standard();
    fs::path page = m_dir / "r\xe9sultats.htm"; // ISO-8859-1 names
    fs::copy_file(golden.page, page);
    fs::path pbn = m_dir / "sortie \xe9t\xe9.pbn";
    ProgramResult run = Run({page.string(), "-pbn", pbn.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(WithoutCreatedLine(ReadFile(pbn)), golden.pbn);
    EXPECT_EQ(FilesIn(m_dir), 3u); // the settings folder, the page and the output under its own name
}

TEST_F(BatchProgramTest, GoldenPagesConvertWithTheStoredRecapOption) {
    // Each page's charset is declared only in the page (or not at all: Windows-1252); the recap option comes
    // from the user's settings file.
    for (const GoldenPage &golden :
         {Golden("layout_a-omit", "layout_a.htm", 0), Golden("layout_a-insert", "layout_a.htm", 1),
          Golden("layout_a-add", "layout_a.htm", 2), Golden("layout_b", "layout_b.htm", 0),
          Golden("windows1252_accents", "windows1252_accents.htm", 2),
          Golden("utf8_outside_latin1", "utf8_outside_latin1.htm", 1), Golden("markup_error", "markup_error.htm", 0)}) {
        SCOPED_TRACE(golden.page.filename().string() + " recap option " + std::to_string(golden.recapOption));
        fs::create_directories(m_dir / "config" / "Dealscope");
        WriteFile(m_dir / "config" / "Dealscope" / "Dealscope.ini",
                  "[Settings]\nRecapOption=" + std::to_string(golden.recapOption) + "\n");
        fs::path pbn = m_dir / "out.pbn";
        fs::path text = m_dir / "out.txt";
        ProgramResult run = Run({golden.page.string(), "-pbn", pbn.string(), "-text", text.string()});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(WithoutCreatedLine(ReadFile(pbn)), golden.pbn);
        EXPECT_EQ(ReadFile(text), golden.text);
    }
}

TEST_F(BatchProgramTest, UnwritableOutputLeavesNoFileAndFails) {
    GoldenPage golden = Standard();
    fs::path blocker = m_dir / "plain file";
    WriteFile(blocker, "keep me");
    fs::path pbn = blocker / "out.pbn"; // root may write anywhere, but never under a regular file
    ProgramResult run = Run({golden.page.string(), "-pbn", pbn.string()});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find(pbn.string() + ":\nCannot create the file: Not a directory."), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(blocker), "keep me");
    EXPECT_EQ(FilesIn(m_dir), 2u); // the settings folder and the blocker
}

TEST_F(BatchProgramTest, PbnIsWrittenFirstAndAFailedTextStillFails) {
    GoldenPage golden = Standard();
    fs::path pbn = m_dir / "out.pbn";
    fs::path blocker = m_dir / "plain";
    WriteFile(blocker, "x");
    ProgramResult run = Run({golden.page.string(), "-text", (blocker / "out.txt").string(), "-pbn", pbn.string()});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(WithoutCreatedLine(ReadFile(pbn)), golden.pbn);
    EXPECT_NE(run.err.find("Not a directory"), std::string::npos) << run.err;
}

TEST_F(BatchProgramTest, ExistingOutputIsReplacedWhole) {
    GoldenPage golden = Standard();
    fs::path text = m_dir / "out.txt";
    WriteFile(text, std::string(100000, 'z')); // longer than the report: no tail may survive
    ProgramResult run = Run({golden.page.string(), "-text", text.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFile(text), golden.text);
}

TEST_F(BatchProgramTest, CharsetOnlyInHttpHeader) {
    PageServer server(DATA.string());
    fs::path expected = m_dir / "expected.pbn";
    ASSERT_EQ(Run({(DATA / "batch" / "pairs_utf8.html").string(), "-pbn", expected.string()}).exitCode, 0);
    // "Żabłocki" in UTF-8: the names were read right.
    ASSERT_NE(ReadFile(expected).find("\xC5\xBB"
                                      "ab\xC5\x82"
                                      "ocki"),
              std::string::npos);

    fs::path pbn = m_dir / "served.pbn";
    ProgramResult run =
        Run({server.Url("/files/batch/pairs_latin2_bare.html?charset=ISO-8859-2"), "-pbn", pbn.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(WithoutCreatedLine(ReadFile(pbn)), WithoutCreatedLine(ReadFile(expected)));

    // Without the header the same bytes are read as Windows-1252.
    fs::path bare = m_dir / "bare.pbn";
    ASSERT_EQ(Run({server.Url("/files/batch/pairs_latin2_bare.html"), "-pbn", bare.string()}).exitCode, 0);
    EXPECT_NE(WithoutCreatedLine(ReadFile(bare)), WithoutCreatedLine(ReadFile(expected)));
}

TEST_F(BatchProgramTest, CharsetOnlyInMetaDeclarationOfPageFile) {
    fs::path expected = m_dir / "expected.txt";
    ASSERT_EQ(Run({(DATA / "batch" / "pairs_utf8.html").string(), "-text", expected.string()}).exitCode, 0);
    fs::path text = m_dir / "meta.txt";
    ProgramResult run = Run({(DATA / "batch" / "pairs_latin2_meta.html").string(), "-text", text.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFile(text), ReadFile(expected));
}

TEST_F(BatchProgramTest, RedirectsAreFollowed) {
    GoldenPage golden = Standard();
    PageServer server(DATA.string());
    fs::path pbn = m_dir / "out.pbn";
    fs::path text = m_dir / "out.txt";
    std::string target = "/files/conversion/" + golden.page.filename().string();
    ProgramResult run =
        Run({server.Url("/redirect?to=" + target + "&hops=2"), "-pbn", pbn.string(), "-text", text.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(WithoutCreatedLine(ReadFile(pbn)), golden.pbn);
    EXPECT_EQ(ReadFile(text), golden.text);
}

TEST_F(BatchProgramTest, FileUrlOfNameWithSpacesAndHash) {
    GoldenPage golden = Standard();
    fs::copy_file(golden.page, m_dir / "club results #3.htm");
    fs::path text = m_dir / "out.txt";
    std::string url = "file://" + m_dir.string() + "/club%20results%20%233.htm";
    ProgramResult run = Run({url, "-text", text.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFile(text), golden.text);
}

#ifdef TRICKSMITH_STANDIN
// "dda" with an output: the companion (here the stand-in registered in the private classes file) analyses the
// boards first, and its tables go into the PBN.
TEST_F(BatchProgramTest, DoubleDummyAnalysisBeforeWriting) {
    GoldenPage golden = Standard();
    fs::create_directories(m_dir / "config" / "Dealscope");
    fs::create_directories(m_dir / "tmp");
    WriteFile(m_dir / "config" / "Dealscope" / "classes.ini",
              "[Tricksmith.Object]\nCLSID={3D9A6E21-B84C-4F17-9C05-A1E6D27F8B43}\n"
              "[CLSID\\{3D9A6E21-B84C-4F17-9C05-A1E6D27F8B43}]\nProgID=Tricksmith.Object\n"
              "LocalServer32=" TRICKSMITH_STANDIN "\n");
    fs::path pbn = m_dir / "out.pbn";
    ProgramResult run =
        Run({golden.page.string(), "-dda", "-pbn", pbn.string()}, {"TMPDIR=" + (m_dir / "tmp").string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::string analysed = ReadFile(pbn);
    EXPECT_NE(analysed.find("[DoubleDummyTricks \""), std::string::npos) << analysed;
    EXPECT_NE(analysed.find("[OptimumResultTable \""), std::string::npos) << analysed;
}
#endif

TEST_F(BatchProgramTest, DoubleDummyWithoutCompanionWritesNothing) {
    GoldenPage golden = Standard();
    fs::create_directories(m_dir / "tmp");
    fs::path pbn = m_dir / "out.pbn";
    ProgramResult run =
        Run({golden.page.string(), "-pbn", pbn.string(), "-dda"}, {"TMPDIR=" + (m_dir / "tmp").string()});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("Tricksmith.Object"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(pbn));
}

} // namespace
