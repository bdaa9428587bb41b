// Temporary PBN files and the hand-off to the companion.
#include <chrono>
#include <thread>

#include <unistd.h>

#include "companion/handoff.h"
#include "companion/temp_pbn_file.h"
#include "companion_fixture.h"

namespace {

using companion::HandOffToTricksmith;
using companion::WriteTempPbn;

class HandOffTest : public CompanionFixture {
protected:
    // Waits (up to 10 s) for the recorder to write its log.
    std::string WaitForRecorder() {
        std::filesystem::path log = m_root / "handoff.log";
        for (int i = 0; i < 1000 && !std::filesystem::exists(log); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return ReadFile(log);
    }

    bool Fails(const std::function<void()> &action) {
        try {
            action();
        } catch (const platform::UserException &) {
            return true;
        }
        return false;
    }
};

TEST_F(HandOffTest, BaseNameComesFromThePagesDefaultFileName) {
    EXPECT_EQ(companion::TempPbnBaseName(u"results.pbn"), u"results");
    EXPECT_EQ(companion::TempPbnBaseName(u"a.b.pbn"), u"a.b");
    EXPECT_EQ(companion::TempPbnBaseName(u"x\\y.pbn"), u"y");
    EXPECT_EQ(companion::TempPbnBaseName(u""), u"");
    EXPECT_EQ(companion::TempFolder(), (m_root / "tmp").string() + "/");
    unsetenv("TMPDIR");
    EXPECT_EQ(companion::TempFolder(), "/tmp/");

    // A relative folder is taken from the current one: the companion, which works elsewhere, gets a full path.
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(m_root);
    setenv("TMPDIR", "tmp", 1);
    std::string path = WriteTempPbn("x", u"rel.pbn");
    std::filesystem::current_path(before);
    EXPECT_EQ(path, (m_root / "tmp" / "rel.pbn").string());
    EXPECT_EQ(ReadFile(path), "x");
}

TEST_F(HandOffTest, NamesCountUpWhenTakenAndNothingIsOverwritten) {
    std::ofstream(m_root / "tmp" / "results-1.pbn") << "someone else's";
    std::string pbn = "% PBN 2.1\r\n[Event \"Caf\xe9\"]\r\n"; // bytes as they are, no byte-order mark
    EXPECT_EQ(WriteTempPbn(pbn, u"results.pbn"), (m_root / "tmp" / "results.pbn").string());
    EXPECT_EQ(WriteTempPbn(pbn, u"results.pbn"), (m_root / "tmp" / "results-2.pbn").string());
    EXPECT_EQ(WriteTempPbn("", u"results.pbn"), (m_root / "tmp" / "results-3.pbn").string());
    EXPECT_EQ(ReadFile(m_root / "tmp" / "results.pbn"), pbn);
    EXPECT_EQ(ReadFile(m_root / "tmp" / "results-1.pbn"), "someone else's");
    EXPECT_EQ(ReadFile(m_root / "tmp" / "results-3.pbn"), "");
    EXPECT_EQ(std::filesystem::status(m_root / "tmp" / "results.pbn").permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    // A page address without '/' gives an empty base name.
    EXPECT_EQ(WriteTempPbn(pbn, u""), (m_root / "tmp" / ".pbn").string());
    EXPECT_EQ(WriteTempPbn(pbn, u""), (m_root / "tmp" / "-1.pbn").string());
}

TEST_F(HandOffTest, AllThousandNamesTakenIsReported) {
    std::ofstream(m_root / "tmp" / "full.pbn");
    for (int i = 1; i <= 999; ++i)
        std::ofstream(m_root / "tmp" / ("full-" + std::to_string(i) + ".pbn"));
    EXPECT_TRUE(Fails([] { WriteTempPbn("x", u"full.pbn"); }));
    EXPECT_EQ(Error(), "Unable to create a temporary file in the folder '" +
                           std::filesystem::canonical(m_root / "tmp").string() +
                           "/'.\r\n\r\nBe sure this folder exists, and if so, delete .pbn files beginning with "
                           "'full'.");
    EXPECT_EQ(ReadFile(m_root / "tmp" / "full.pbn"), "");

    // A temporary folder that does not exist fails the same way.
    m_errors.clear();
    setenv("TMPDIR", (m_root / "gone").c_str(), 1);
    EXPECT_TRUE(Fails([] { WriteTempPbn("x", u"a.pbn"); }));
    EXPECT_NE(Error().find("Unable to create a temporary file in the folder '" + (m_root / "gone").string() + "/'"),
              std::string::npos)
        << Error();
}

TEST_F(HandOffTest, StartsTheRegisteredProgramOnTheNewFile) {
    SaveAndSet("HANDOFF_LOG", (m_root / "handoff.log").string());
    Register("\"" + std::string(HANDOFF_RECORDER) + "\""); // quotes around a registered path are dropped
    std::string pbn = "% PBN 2.1\r\n[Board \"1\"]\r\n";
    std::string path = HandOffToTricksmith(pbn, u"results.pbn");
    EXPECT_EQ(path, (m_root / "tmp" / "results.pbn").string());
    EXPECT_EQ(WaitForRecorder(), "argc 2\narg " + path + "\ncontent " + pbn);
    EXPECT_TRUE(m_errors.empty());
}

TEST_F(HandOffTest, UnregisteredCompanionWritesNothing) {
    EXPECT_TRUE(Fails([] { HandOffToTricksmith("pbn", u"results.pbn"); }));
    EXPECT_EQ(Error(), "Unable to locate Tricksmith.exe");
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(HandOffTest, CompanionThatCannotStartLeavesTheFile) {
    // A quoted path followed by arguments keeps its closing quote and its arguments: no such program.
    Register("\"" + std::string(HANDOFF_RECORDER) + "\" -x");
    EXPECT_TRUE(Fails([] { HandOffToTricksmith("pbn", u"results.pbn"); }));
    EXPECT_EQ(Error(), "Unable to start Tricksmith: No such file or directory");
    EXPECT_EQ(TempFiles(), std::vector<std::string>{"results.pbn"});

    m_errors.clear();
    Register(""); // an empty path cannot start either
    EXPECT_TRUE(Fails([] { HandOffToTricksmith("pbn", u"results.pbn"); }));
    EXPECT_EQ(Error(), "Unable to start Tricksmith: No such file or directory");
}

} // namespace
