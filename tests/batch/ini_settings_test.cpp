#include "platform/ini_settings.h"

#include <cstdlib>

#include "scratch_dir.h"

namespace {

using IniSettingsTest = ScratchDirTest;

TEST_F(IniSettingsTest, MissingFileGivesDefaultsAndValuesSurviveReopening) {
    std::string path = (m_dir / "deep" / "Dealscope" / "Dealscope.ini").string();
    {
        platform::IniSettings settings(path);
        EXPECT_EQ(settings.GetInt("Settings", "RecapOption", 7), 7);
        EXPECT_TRUE(settings.SetInt("Settings", "RecapOption", 2));
        EXPECT_TRUE(settings.SetString("FavoritesDialog", "Placement", "line one\nline two\\end\r"));
        EXPECT_TRUE(settings.SetInt("Settings", "Negative", -40));
        // Another copy of the file open at the same time: neither loses what the other stored.
        platform::IniSettings other(path);
        EXPECT_TRUE(other.SetString("FavoritesDialog", "Width", "300"));
    }
    platform::IniSettings reopened(path);
    EXPECT_EQ(reopened.GetInt("Settings", "RecapOption", 0), 2);
    EXPECT_EQ(reopened.GetInt("Settings", "Negative", 0), -40);
    EXPECT_EQ(reopened.GetString("FavoritesDialog", "Placement", ""), "line one\nline two\\end\r");
    EXPECT_EQ(reopened.GetString("FavoritesDialog", "Width", ""), "300");
    EXPECT_EQ(reopened.GetInt("FavoritesDialog", "Placement", 5), 5); // not a number
    EXPECT_EQ(reopened.GetInt("Other", "RecapOption", 9), 9);         // sections are separate
}

TEST_F(IniSettingsTest, ReadsHandWrittenFile) {
    std::string path = (m_dir / "Dealscope.ini").string();
    WriteFile(path, "; comment\r\n[Settings]\r\nRecapOption=1\r\nbroken line\r\n[Settings]\r\nOther=x=y\r\n");
    platform::IniSettings settings(path);
    EXPECT_EQ(settings.GetInt("Settings", "RecapOption", 0), 1);
    EXPECT_EQ(settings.GetString("Settings", "Other", ""), "x=y");
    // A change keeps every line the program does not read, where it was.
    EXPECT_TRUE(settings.SetString("Settings", "New", "z"));
    EXPECT_EQ(ReadFile(path), "; comment\n[Settings]\nRecapOption=1\nbroken line\nOther=x=y\nNew=z\n");

    // An editor may start the file with a byte-order mark.
    WriteFile(path, "\xEF\xBB\xBF[Settings]\r\nRecapOption=2\r\n");
    platform::IniSettings marked(path);
    EXPECT_EQ(marked.GetInt("Settings", "RecapOption", 0), 2);
    EXPECT_TRUE(marked.SetString("Other", "New", "z"));
    EXPECT_EQ(ReadFile(path), "[Settings]\nRecapOption=2\n[Other]\nNew=z\n");
}

TEST_F(IniSettingsTest, FileThatCannotBeWrittenOrReadLosesNothing) {
    fs::path blocker = m_dir / "plain";
    WriteFile(blocker, "keep");
    platform::IniSettings settings((blocker / "Dealscope.ini").string());
    EXPECT_FALSE(settings.SetInt("Settings", "RecapOption", 1));
    EXPECT_EQ(ReadFile(blocker), "keep");
    EXPECT_FALSE(settings.SetString("Bad]Section", "Name", "v"));
    EXPECT_FALSE(settings.SetString("Settings", "Bad=Name", "v"));

    // A file that exists but cannot be read is never overwritten: registering the companion or storing an option
    // must not wipe what it holds. (Root reads any file, so this one is a link to itself.)
    fs::path path = m_dir / "classes.ini";
    fs::create_symlink(path, path);
    platform::IniSettings unreadable(path.string());
    EXPECT_EQ(unreadable.GetString("Tricksmith.Object", "CLSID", "none"), "none");
    EXPECT_FALSE(unreadable.SetString("Tricksmith.Object", "CLSID", "{x}"));
    EXPECT_EQ(fs::read_symlink(path), path);
}

TEST(DefaultSettingsPath, FollowsXdgConfigHome) {
    const char *savedConfig = std::getenv("XDG_CONFIG_HOME");
    std::string saved = savedConfig ? savedConfig : "";
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(platform::DefaultSettingsPath(), "/cfg/Dealscope/Dealscope.ini");
    unsetenv("XDG_CONFIG_HOME");
    const char *home = std::getenv("HOME");
    EXPECT_EQ(platform::DefaultSettingsPath(), std::string(home ? home : ".") + "/.config/Dealscope/Dealscope.ini");
    if (savedConfig)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
}

} // namespace
