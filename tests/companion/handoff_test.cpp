#include "companion/companion_commands.h"
#include "companion/temp_pbn_file.h"
#include "companion_fixture.h"

namespace {

using companion::WriteTempPbn;
using HandOffTest = CompanionFixture;

TEST_F(HandOffTest, NamesCountUpWhenTakenAndNothingIsOverwritten) {
    const fs::path tmp = m_dir / "tmp";
    WriteFile(tmp / "results-1.pbn", "someone else's");
    std::string pbn = "% PBN 2.1\r\n[Event \"Caf\xe9\"]\r\n"; // bytes as they are, no byte-order mark
    EXPECT_EQ(WriteTempPbn(pbn, u"results.pbn"), (tmp / "results.pbn").string());
    EXPECT_EQ(WriteTempPbn("", u"results.pbn"), (tmp / "results-2.pbn").string());
    EXPECT_EQ(WriteTempPbn(pbn, u""), (tmp / ".pbn").string()); // a page address without '/'
    EXPECT_EQ(WriteTempPbn(pbn, u""), (tmp / "-1.pbn").string());
    EXPECT_EQ(WriteTempPbn(pbn, u"x\\a.b.pbn"), (tmp / "a.b.pbn").string()); // the last extension goes
    EXPECT_EQ(ReadFile(tmp / "results.pbn"), pbn);
    EXPECT_EQ(ReadFile(tmp / "results-1.pbn"), "someone else's");
    EXPECT_EQ(fs::status(tmp / "results.pbn").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    for (int i = 3; i <= 999; ++i)
        WriteFile(tmp / ("results-" + std::to_string(i) + ".pbn"), "");
    EXPECT_THROW(WriteTempPbn("x", u"results.pbn"), platform::UserException);
    EXPECT_EQ(Error(), "Unable to create a temporary file in the folder '" + tmp.string() +
                           "/'.\r\n\r\nBe sure this folder exists, and if so, delete .pbn files beginning with "
                           "'results'.");

    // A relative folder is taken from the current one: the companion, which works elsewhere, gets a full path.
    fs::path before = fs::current_path();
    fs::current_path(m_dir);
    setenv("TMPDIR", "rel", 1);
    EXPECT_THROW(WriteTempPbn("x", u"a.pbn"), platform::UserException);
    EXPECT_NE(Error(1).find("folder '" + (m_dir / "rel").string() + "/'"), std::string::npos) << Error(1);
    fs::create_directory("rel");
    std::string path = WriteTempPbn("x", u"rel.pbn");
    fs::current_path(before);
    EXPECT_EQ(path, (m_dir / "rel" / "rel.pbn").string());
    unsetenv("TMPDIR");
    EXPECT_EQ(companion::TempFolder(), "/tmp/");
}

TEST_F(HandOffTest, DocumentsPbnGoesToTheCompanionOrOneClearError) {
    CDSCDoc doc;
    EXPECT_FALSE(OnUpdateOpenWithTricksmith(doc));
    EXPECT_FALSE(OnUpdateDoubleDummyAll(doc));
    LoadTestPage(doc);
    EXPECT_TRUE(OnUpdateOpenWithTricksmith(doc));
    EXPECT_THROW(OnOpenWithTricksmith(doc), platform::UserException);
    EXPECT_EQ(Error(), "Unable to locate Tricksmith.exe");
    EXPECT_TRUE(TempFiles().empty());
    // A quoted path with arguments, an empty path: no such program. The file stays for the user.
    for (const std::string &server : {"\"" + std::string(HANDOFF_RECORDER) + "\" -x", std::string()}) {
        Register(server);
        m_errors.clear();
        EXPECT_THROW(OnOpenWithTricksmith(doc), platform::UserException);
        EXPECT_EQ(Error(), "Unable to start Tricksmith: No such file or directory");
    }
    EXPECT_EQ(TempFiles(), (std::vector<std::string>{"dda_page-1.pbn", "dda_page.pbn"}));

    SetEnv("HANDOFF_LOG", (m_dir / "handoff.log").string());
    Register("\"" + std::string(HANDOFF_RECORDER) + "\""); // quotes around a registered path are dropped
    m_errors.clear();
    OnOpenWithTricksmith(doc);
    for (int i = 0; i < 1000 && !fs::exists(m_dir / "handoff.log"); ++i)
        usleep(10 * 1000);
    std::string path = (m_dir / "tmp" / "dda_page-2.pbn").string();
    EXPECT_EQ(ReadFile(m_dir / "handoff.log"), "argc 2\narg " + path + "\ncontent " + doc.m_strPbn);
    EXPECT_TRUE(m_errors.empty()) << Error();
}

} // namespace
