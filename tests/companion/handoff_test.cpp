// Temporary PBN files for the companion, and the hand-off's failures. (A successful hand-off of a document is in
// document_commands_test.cpp.)
#include "companion/handoff.h"
#include "companion/temp_pbn_file.h"
#include "companion_fixture.h"

namespace {

using companion::HandOffToTricksmith;
using companion::WriteTempPbn;

using HandOffTest = CompanionFixture;

TEST_F(HandOffTest, FolderAndBaseName) {
    const std::pair<std::u16string, std::u16string> names[] = {
        {u"results.pbn", u"results"}, {u"a.b.pbn", u"a.b"}, {u"x\\y.pbn", u"y"}, {u"", u""}};
    for (const auto &[defaultName, base] : names)
        EXPECT_EQ(companion::TempPbnBaseName(defaultName), base) << platform::Utf16ToUtf8(defaultName);
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

TEST_F(HandOffTest, AllThousandNamesTakenOrNoFolderIsReported) {
    std::ofstream(m_root / "tmp" / "full.pbn");
    for (int i = 1; i <= 999; ++i)
        std::ofstream(m_root / "tmp" / ("full-" + std::to_string(i) + ".pbn"));
    EXPECT_TRUE(Fails([] { WriteTempPbn("x", u"full.pbn"); }));
    EXPECT_EQ(Error(), "Unable to create a temporary file in the folder '" +
                           std::filesystem::canonical(m_root / "tmp").string() +
                           "/'.\r\n\r\nBe sure this folder exists, and if so, delete .pbn files beginning with "
                           "'full'.");
    EXPECT_EQ(ReadFile(m_root / "tmp" / "full.pbn"), "");

    setenv("TMPDIR", (m_root / "gone").c_str(), 1);
    EXPECT_TRUE(Fails([] { WriteTempPbn("x", u"a.pbn"); }));
    EXPECT_NE(Error(1).find("Unable to create a temporary file in the folder '" + (m_root / "gone").string() + "/'"),
              std::string::npos)
        << Error(1);
}

TEST_F(HandOffTest, CompanionThatIsMissingOrCannotStart) {
    EXPECT_TRUE(Fails([] { HandOffToTricksmith("pbn", u"results.pbn"); }));
    EXPECT_EQ(Error(), "Unable to locate Tricksmith.exe");
    EXPECT_TRUE(TempFiles().empty()); // unregistered: nothing written

    // A quoted path followed by arguments keeps its closing quote and its arguments: no such program. An empty
    // path cannot start either. The file stays for the user.
    for (const std::string &server : {"\"" + std::string(HANDOFF_RECORDER) + "\" -x", std::string()}) {
        Register(server);
        m_errors.clear();
        EXPECT_TRUE(Fails([] { HandOffToTricksmith("pbn", u"results.pbn"); }));
        EXPECT_EQ(Error(), "Unable to start Tricksmith: No such file or directory");
    }
    EXPECT_EQ(TempFiles(), (std::vector<std::string>{"results-1.pbn", "results.pbn"}));
}

} // namespace
