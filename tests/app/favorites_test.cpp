#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

#include "app/favorites.h"
#include "app/favorites_menu.h"
#include "app/favorites_order.h"
#include "platform/error_report.h"
#include "platform/wide_text.h"
#include "scoped_hook.h"

namespace fs = std::filesystem;

namespace {

using List = std::vector<std::u16string>;

std::string ReadBytes(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class FavoritesFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/dealscope-favorites-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        m_file = m_dir / "DealscopeFavorites.txt";
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path m_dir;
    fs::path m_file;
    std::vector<std::string> m_errors; // what the user was shown
    ScopedHook<platform::SetErrorSink> m_sink{
        [this](const std::u16string &text) { m_errors.push_back(platform::Utf16ToUtf8(text)); }};
};

} // namespace

TEST(FavoritesText, LinesEndAtLineFeedsByteOrderMarkStaysAndTextIsUtf8) {
    const std::pair<std::string, List> cases[] = {
        {"a\r\nb\n\nc", {u"a", u"b", u""}}, // text after the last line feed is no entry
        {"", {}},
        {"no line feed at all", {}},
        {"\r\n", {u""}},
        {"a\rb\n\r\r\n", {u"a\rb", u"\r"}}, // only a CR right before the LF belongs to the line end
        {"\xEF\xBB\xBFhttp://a/\r\nhttp://b/\r\n", {u"\uFEFFhttp://a/", u"http://b/"}},
        {"http://x/\xC3\xA9t\xC3\xA9\xF0\x9F\x82\xA1\n", {u"http://x/\u00E9t\u00E9\U0001F0A1"}},
    };
    for (const auto &[bytes, entries] : cases)
        EXPECT_EQ(ParseFavorites(bytes), entries) << bytes;

    // Written back: every entry ends with CR LF, no byte-order mark.
    EXPECT_EQ(FormatFavorites({u"a", u"b", u""}), "a\r\nb\r\n\r\n");
    EXPECT_EQ(FormatFavorites({}), "");
    EXPECT_EQ(FormatFavorites({u"\u00E9&x"}), "\xC3\xA9&x\r\n");
}

TEST_F(FavoritesFileTest, MissingFileLoadsEmptyAndAddAppendsSavesAndRefusesListedAddresses) {
    m_errors.clear();
    FavoritesList list(m_file.string());
    ASSERT_TRUE(list.LoadFavorites());
    EXPECT_TRUE(list.Favorites().empty());
    EXPECT_TRUE(m_errors.empty());

    EXPECT_FALSE(list.CanAdd(u""));
    EXPECT_TRUE(list.CanAdd(u"http://Example.org/a&b"));
    list.AddFavorite(u"http://Example.org/a&b");
    list.AddFavorite(u"file:///tmp/\u00E9.htm");
    EXPECT_EQ(ReadBytes(m_file), "http://Example.org/a&b\r\nfile:///tmp/\xC3\xA9.htm\r\n");
    EXPECT_FALSE(list.CanAdd(u"HTTP://EXAMPLE.ORG/A&B"));
    EXPECT_TRUE(list.CanAdd(u"file:///tmp/\u00C9.htm")); // only ASCII letters fold

    FavoritesList again(m_file.string());
    ASSERT_TRUE(again.LoadFavorites());
    EXPECT_EQ(again.Favorites(), list.Favorites());
}

TEST_F(FavoritesFileTest, FailedSaveKeepsListAndFileAsTheyWere) {
    WriteBytes(m_file, "A\r\nB\r\n");
    FavoritesList list(m_file.string());
    ASSERT_TRUE(list.LoadFavorites());
    // The file's place is taken by a folder, so the new file cannot be put there.
    fs::remove(m_file);
    fs::create_directory(m_file);
    m_errors.clear();
    EXPECT_THROW(list.SaveFavorites({u"B"}), platform::UserException);
    EXPECT_THROW(list.AddFavorite(u"C"), platform::UserException);
    EXPECT_EQ(list.Favorites(), (List{u"A", u"B"}));
    ASSERT_EQ(m_errors.size(), 2u);
    EXPECT_EQ(m_errors[0].rfind(m_file.string() + ":\r\n", 0), 0u) << m_errors[0];
    EXPECT_TRUE(fs::is_directory(m_file));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1); // no leftovers
}

TEST_F(FavoritesFileTest, FolderInTheFilesPlaceIsReportedAndKept) {
    // It opens but cannot be read (bytes that are not UTF-8: the window test).
    fs::create_directory(m_file);
    WriteBytes(m_file / "keep", "x");
    FavoritesList folder(m_file.string());
    m_errors.clear();
    EXPECT_FALSE(folder.LoadFavorites());
    EXPECT_THROW(folder.AddFavorite(u"http://new/"), platform::UserException);
    EXPECT_EQ(m_errors.size(), 2u);
    EXPECT_EQ(ReadBytes(m_file / "keep"), "x");
}

TEST_F(FavoritesFileTest, DocumentsFolderFromXdgUserDirsElseHome) {
    const char *oldHome = std::getenv("HOME");
    const char *oldConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string savedHome = oldHome ? oldHome : "", savedConfig = oldConfig ? oldConfig : "";
    setenv("HOME", m_dir.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    fs::create_directories(m_dir / ".config");
    EXPECT_EQ(GetDocumentsFolder(), m_dir.string()); // no user-dirs.dirs

    WriteBytes(
        m_dir / ".config" / "user-dirs.dirs",
        "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
    EXPECT_EQ(GetDocumentsFolder(), m_dir.string()); // configured but not there
    fs::create_directory(m_dir / "Docs");
    EXPECT_EQ(GetDocumentsFolder(), (m_dir / "Docs").string());
    EXPECT_EQ(GetFavoritesPath(), (m_dir / "Docs" / "DealscopeFavorites.txt").string());

    fs::create_directories(m_dir / "cfg");
    fs::create_directories(m_dir / "Papers");
    WriteBytes(m_dir / "cfg" / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"" + (m_dir / "Papers").string() + "\"\n");
    setenv("XDG_CONFIG_HOME", (m_dir / "cfg").c_str(), 1);
    EXPECT_EQ(GetDocumentsFolder(), (m_dir / "Papers").string());

    setenv("HOME", savedHome.c_str(), 1);
    if (oldConfig)
        setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}
// The rules of the favorites list that need no display: how the popup shows and marks the favorites, and how the
// dialog's working order moves and removes rows.

namespace {

// Five favorites A..E; the rows given by letter are selected.
FavoritesOrder Select(const std::string &letters, int count = 5) {
    FavoritesOrder order(count);
    for (char c : letters)
        order.SetSelected(c - 'A', true);
    return order;
}

std::string Letters(const FavoritesOrder &order, const std::vector<int> &rows) {
    std::string text;
    for (int row : rows)
        text += static_cast<char>('A' + order.FavoriteAt(row));
    return text;
}

std::string Letters(const FavoritesOrder &order) {
    std::string text;
    for (int favorite : order.Order())
        text += static_cast<char>('A' + favorite);
    return text;
}

} // namespace

TEST(FavoritesMenu, AddressesShowAsTheyStand) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"http://x/?a=1&b=2", u"http://x/?a=1&&b=2"},
        {u"&&", u"&&&&"},
        {u"a\tb", u"a b"},
        {u"", u" "},
        {u"file:///home/me/Club_Night.htm", u"file:///home/me/Club_Night.htm"},
    };
    for (const auto &[url, text] : cases)
        EXPECT_EQ(FavoriteMenuText(url), text) << platform::Utf16ToUtf8(url);
}

TEST(FavoritesMenu, ListsFirst32AndMarksLastEqualAddress) {
    std::vector<std::u16string> favorites;
    for (int i = 0; i < 40; ++i)
        favorites.push_back(u"http://host/" + platform::WidenAscii(std::to_string(i)));
    FavoritesMenuItems items = GetFavoritesMenuItems(favorites, u"http://host/2");
    EXPECT_EQ(items.count, 32);
    EXPECT_EQ(items.marked, 2);
    // The 35th entry is past the menu: no mark.
    EXPECT_EQ(GetFavoritesMenuItems(favorites, u"http://host/34").marked, -1);
    EXPECT_EQ(GetFavoritesMenuItems(favorites, u"http://host/31").marked, 31);

    favorites = {u"http://a/", u"http://b/", u"HTTP://A/"};
    items = GetFavoritesMenuItems(favorites, u"http://A/");
    EXPECT_EQ(items.count, 3);
    EXPECT_EQ(items.marked, 2);
    EXPECT_EQ(GetFavoritesMenuItems(favorites, u"http://c/").marked, -1);
    EXPECT_EQ(GetFavoritesMenuItems({}, u"http://c/").count, 0);

    // Items beyond the list or the menu open nothing.
    EXPECT_EQ(FavoriteIndexFromId(ID_FAVORITE_FIRST + 2, 3), 2);
    EXPECT_EQ(FavoriteIndexFromId(ID_FAVORITE_FIRST + 3, 3), -1);
    EXPECT_EQ(FavoriteIndexFromId(ID_FAVORITE_FIRST - 1, 3), -1);
    EXPECT_EQ(FavoriteIndexFromId(ID_FAVORITE_LAST, 40), 31);
    EXPECT_EQ(FavoriteIndexFromId(ID_FAVORITE_LAST + 1, 40), -1);
}

TEST(FavoritesOrder, MovesKeepRelativeOrderAndSelection) {
    const struct {
        const char *selected;
        int delta;
        const char *expected;
    } cases[] = {
        {"CE", FavoritesOrder::MOVE_TOP, "CEABD"},
        {"BC", FavoritesOrder::MOVE_BOTTOM, "ADEBC"},
        {"BD", 1, "ACBED"},
        {"BC", -1, "BCADE"},
        {"BD", -1, "BADCE"},
        {"AE", FavoritesOrder::MOVE_TOP, "AEBCD"},
        {"AE", FavoritesOrder::MOVE_BOTTOM, "BCDAE"},
        {"ABCDE", FavoritesOrder::MOVE_TOP, "ABCDE"},
        {"D", FavoritesOrder::MOVE_TOP, "DABCE"},
        {"B", FavoritesOrder::MOVE_BOTTOM, "ACDEB"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.selected) + " by " + std::to_string(c.delta));
        FavoritesOrder order = Select(c.selected);
        order.MoveSelected(c.delta);
        EXPECT_EQ(Letters(order), c.expected);
        std::string selected = Letters(order, order.GetSelection());
        std::sort(selected.begin(), selected.end());
        EXPECT_EQ(selected, c.selected);
    }

    // The selection mark follows its row.
    FavoritesOrder order = Select("BD");
    order.SetMark(3);
    order.MoveSelected(FavoritesOrder::MOVE_TOP);
    EXPECT_EQ(Letters(order), "BDACE");
    EXPECT_EQ(order.Mark(), 1);
}

TEST(FavoritesOrder, RemoveDropsSelectedRowsOnly) {
    FavoritesOrder order = Select("BD");
    order.RemoveSelected();
    EXPECT_EQ(Letters(order), "ACE");
    EXPECT_TRUE(order.GetSelection().empty());
    // Equal texts are distinct rows: the list works on favorite indices.
    FavoritesOrder twins(3);
    twins.SetSelected(1, true);
    twins.MoveSelected(FavoritesOrder::MOVE_BOTTOM);
    EXPECT_EQ(twins.Order(), (std::vector<int>{0, 2, 1}));
}
