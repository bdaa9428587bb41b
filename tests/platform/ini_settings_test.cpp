#include "platform/ini_settings.h"

#include <sys/stat.h>

#include "../scratch_test.h"
#include "platform/error_report.h"
#include "platform/wide_text.h"
#include "scoped_hook.h"

namespace {

using IniSettingsTest = ScratchTest;

TEST_F(IniSettingsTest, ValuesSurviveReopeningAndHandWrittenLinesStay) {
    std::string path = (m_dir / "deep" / "Dealscope" / "Dealscope.ini").string();
    {
        platform::IniSettings settings(path);
        EXPECT_EQ(settings.GetInt("Settings", "RecapOption", 7), 7);
        EXPECT_TRUE(settings.SetInt("Settings", "Negative", -40));
        EXPECT_TRUE(settings.SetString("FavoritesDialog", "Placement", "line one\nline two\\end\r"));
        // Another copy of the file open at the same time: neither loses what the other stored.
        platform::IniSettings other(path);
        EXPECT_TRUE(other.SetString("FavoritesDialog", "Width", "300"));
    }
    platform::IniSettings reopened(path);
    EXPECT_EQ(reopened.GetInt("Settings", "Negative", 0), -40);
    EXPECT_EQ(reopened.GetString("FavoritesDialog", "Placement", ""), "line one\nline two\\end\r");
    EXPECT_EQ(reopened.GetString("FavoritesDialog", "Width", ""), "300");
    EXPECT_EQ(reopened.GetInt("FavoritesDialog", "Placement", 5), 5); // not a number
    EXPECT_EQ(reopened.GetInt("Other", "Negative", 9), 9);            // sections are separate

    // An editor may start the file with a byte-order mark and end lines with CR LF; a change keeps every line the
    // program does not read, where it was.
    WriteFile(path, "\xEF\xBB\xBF; comment\r\n[Settings]\r\n# old=x\r\nRecapOption=1\r\nbroken line\r\n[Settings]\r\n"
                    "Other=x=y\r\n");
    platform::IniSettings settings(path);
    EXPECT_EQ(settings.GetInt("Settings", "RecapOption", 0), 1);
    EXPECT_EQ(settings.GetString("Settings", "Other", ""), "x=y");
    EXPECT_EQ(settings.GetString("Settings", "# old", "none"), "none");
    EXPECT_TRUE(settings.SetString("Settings", "New", "z"));
    EXPECT_EQ(ReadFile(path), "; comment\n[Settings]\n# old=x\nRecapOption=1\nbroken line\nOther=x=y\nNew=z\n");
}

TEST_F(IniSettingsTest, FileThatCannotBeWrittenOrReadLosesNothing) {
    WriteFile(m_dir / "plain", "keep");
    platform::IniSettings settings((m_dir / "plain" / "Dealscope.ini").string());
    EXPECT_FALSE(settings.SetInt("Settings", "RecapOption", 1));
    EXPECT_FALSE(settings.SetString("Bad]Section", "Name", "v"));
    EXPECT_FALSE(settings.SetString("Settings", "Bad=Name", "v"));
    EXPECT_EQ(ReadFile(m_dir / "plain"), "keep");

    // A file that exists but cannot be read is never overwritten: registering the companion or storing an option
    // must not wipe what it holds. (Root reads any file, so this one is a link to itself.)
    fs::path path = m_dir / "classes.ini";
    fs::create_symlink(path, path);
    platform::IniSettings unreadable(path.string());
    EXPECT_EQ(unreadable.GetString("Tricksmith.Object", "CLSID", "none"), "none");
    EXPECT_FALSE(unreadable.SetString("Tricksmith.Object", "CLSID", "{x}"));
    EXPECT_EQ(fs::read_symlink(path), path);

    SetEnv("XDG_CONFIG_HOME", ""); // the batch run's settings are read from a set one
    SetEnv("HOME", "/home/u");
    EXPECT_EQ(platform::DefaultSettingsPath(), "/home/u/.config/Dealscope/Dealscope.ini");
}

// A settings file that is a pipe would hold the program until some writer came (and a device such as /dev/zero
// would be read without end): neither is read nor written, and the user is told once.
TEST_F(IniSettingsTest, SettingsFileThatIsNoRegularFileIsNeitherReadNorWritten) {
    const fs::path pipe = m_dir / "Dealscope.ini", folder = m_dir / "folder.ini";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    fs::create_directory(folder);
    const std::string unused = " The settings it holds are not used, and it is not changed.\n";
    const std::string expected = pipe.string() + ":\r\nThe file cannot be read: it is not a regular file." + unused +
                                 folder.string() + ":\r\nThe file cannot be read: it is a folder." + unused;
    EXPECT_EQ(RunInChild([&] {
                  std::string shown;
                  ScopedHook<platform::SetErrorSink> sink(
                      [&](const std::u16string &text) { shown += platform::Utf16ToUtf8(text) + "\n"; });
                  for (const fs::path &path : {pipe, folder, pipe}) {
                      platform::IniSettings settings(path.string());
                      if (settings.GetInt("Settings", "RecapOption", 7) != 7 ||
                          settings.SetInt("Settings", "RecapOption", 1))
                          return 1;
                  }
                  return shown == expected ? 0 : 2;
              }),
              0);
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Dealscope.ini", "folder.ini"}));
}

} // namespace
