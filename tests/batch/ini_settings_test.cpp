#include "platform/ini_settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class IniSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("dealscope-ini-" + std::to_string(getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path m_dir;
};

TEST_F(IniSettingsTest, MissingFileGivesDefaultsAndValuesSurviveReopening) {
    std::string path = (m_dir / "deep" / "Dealscope" / "Dealscope.ini").string();
    {
        platform::IniSettings settings(path);
        EXPECT_EQ(settings.GetInt("Settings", "RecapOption", 7), 7);
        EXPECT_EQ(settings.GetString("FavoritesDialog", "Columns", "none"), "none");
        EXPECT_TRUE(settings.SetInt("Settings", "RecapOption", 2));
        EXPECT_TRUE(settings.SetString("FavoritesDialog", "Placement", "line one\nline two\\end\r"));
        EXPECT_TRUE(settings.SetInt("Settings", "Negative", -40));
    }
    platform::IniSettings reopened(path);
    EXPECT_EQ(reopened.GetInt("Settings", "RecapOption", 0), 2);
    EXPECT_EQ(reopened.GetInt("Settings", "Negative", 0), -40);
    EXPECT_EQ(reopened.GetString("FavoritesDialog", "Placement", ""), "line one\nline two\\end\r");
    EXPECT_EQ(reopened.GetInt("FavoritesDialog", "Placement", 5), 5); // not a number
    EXPECT_EQ(reopened.GetInt("Other", "RecapOption", 9), 9);         // sections are separate
}

TEST_F(IniSettingsTest, KeepsWhatAnotherCopyStored) {
    std::string path = (m_dir / "Dealscope.ini").string();
    platform::IniSettings first(path);
    platform::IniSettings second(path);
    ASSERT_TRUE(first.SetInt("Settings", "RecapOption", 1));
    ASSERT_TRUE(second.SetString("FavoritesDialog", "Width", "300"));
    platform::IniSettings reread(path);
    EXPECT_EQ(reread.GetInt("Settings", "RecapOption", 0), 1);
    EXPECT_EQ(reread.GetString("FavoritesDialog", "Width", ""), "300");
}

TEST_F(IniSettingsTest, ReadsHandWrittenFile) {
    std::string path = (m_dir / "Dealscope.ini").string();
    std::ofstream(path) << "; comment\r\n[Settings]\r\nRecapOption=1\r\nbroken line\r\n[Settings]\r\nOther=x=y\r\n";
    platform::IniSettings settings(path);
    EXPECT_EQ(settings.GetInt("Settings", "RecapOption", 0), 1);
    EXPECT_EQ(settings.GetString("Settings", "Other", ""), "x=y");
}

TEST_F(IniSettingsTest, UnwritableFileReportsFailureAndLosesNothing) {
    fs::path blocker = m_dir / "plain";
    std::ofstream(blocker) << "keep";
    platform::IniSettings settings((blocker / "Dealscope.ini").string());
    EXPECT_FALSE(settings.SetInt("Settings", "RecapOption", 1));
    std::ifstream in(blocker);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep");
    EXPECT_FALSE(settings.SetString("Bad]Section", "Name", "v"));
    EXPECT_FALSE(settings.SetString("Settings", "Bad=Name", "v"));
}

TEST_F(IniSettingsTest, FileThatCannotBeReadIsNeverOverwritten) {
    // Registering the companion or storing an option must not wipe what the file holds. (Root reads any file,
    // so the file here cannot be read because it is a link to itself.)
    fs::path path = m_dir / "classes.ini";
    fs::create_symlink(path, path);
    platform::IniSettings settings(path.string());
    EXPECT_EQ(settings.GetString("Tricksmith.Object", "CLSID", "none"), "none");
    EXPECT_FALSE(settings.SetString("Tricksmith.Object", "CLSID", "{x}"));
    EXPECT_TRUE(fs::is_symlink(path));
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
