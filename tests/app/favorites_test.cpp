#include <sys/stat.h>

#include "app/favorites.h"
#include "app/favorites_menu.h"
#include "app/favorites_order.h"
#include "platform/error_report.h"
#include "platform/wide_text.h"
#include "scoped_hook.h"
#include "scratch_test.h"

namespace {

using List = std::vector<std::u16string>;

class FavoritesFileTest : public ScratchTest {
protected:
    std::vector<std::string> m_errors; // what the user was shown
    ScopedHook<platform::SetErrorSink> m_sink{
        [this](const std::u16string &text) { m_errors.push_back(platform::Utf16ToUtf8(text)); }};
};

// Five favorites A..E, the rows given by letter selected; Letters reads the order back.
FavoritesOrder Select(const std::string &letters) {
    FavoritesOrder order(5);
    for (char c : letters)
        order.SetSelected(c - 'A', true);
    return order;
}

std::string Letters(const std::vector<int> &favorites) {
    std::string text;
    for (int favorite : favorites)
        text += static_cast<char>('A' + favorite);
    return text;
}

} // namespace

TEST(FavoritesText, LinesEndAtLineFeedsByteOrderMarkStaysAndTextIsUtf8) {
    const std::pair<std::string, List> cases[] = {
        {"a\r\nb\n\nc", {u"a", u"b", u""}}, // text after the last line feed is no entry
        {"no line feed at all", {}},
        {"a\rb\n\r\r\n", {u"a\rb", u"\r"}}, // only a CR right before the LF belongs to the line end
        {"\xEF\xBB\xBFhttp://a/\r\n", {u"\uFEFFhttp://a/"}},
        {"http://x/\xC3\xA9t\xF0\x9F\x82\xA1\n", {u"http://x/\u00E9t\U0001F0A1"}},
    };
    for (const auto &[bytes, entries] : cases)
        EXPECT_EQ(ParseFavorites(bytes).favorites, entries) << bytes;
    EXPECT_EQ(FormatFavorites({"a", "", "\xC3\xA9&x"}), "a\r\n\r\n\xC3\xA9&x\r\n");
}

TEST_F(FavoritesFileTest, AddSavesAndRefusesListedAddressesAndAFailedSaveKeepsListAndFile) {
    const fs::path file = m_dir / "DealscopeFavorites.txt";
    FavoritesList list(file.string());
    ASSERT_TRUE(list.LoadFavorites()); // no file yet: an empty list
    EXPECT_FALSE(list.CanAdd(u""));
    list.AddFavorite(u"http://Example.org/a&b");
    list.AddFavorite(u"file:///tmp/\u00E9.htm");
    EXPECT_EQ(ReadFile(file), "http://Example.org/a&b\r\nfile:///tmp/\xC3\xA9.htm\r\n");
    EXPECT_FALSE(list.CanAdd(u"HTTP://EXAMPLE.ORG/A&B"));
    EXPECT_TRUE(list.CanAdd(u"file:///tmp/\u00C9.htm")); // only ASCII letters fold
    EXPECT_TRUE(m_errors.empty());

    // The file's place is taken by a folder: nothing can be read or written there, and nothing is lost.
    fs::remove(file);
    fs::create_directory(file);
    WriteFile(file / "keep", "x");
    EXPECT_THROW(list.SaveFavorites({1}), platform::UserException);
    EXPECT_THROW(list.AddFavorite(u"C"), platform::UserException);
    EXPECT_EQ(list.Favorites().size(), 2u);
    FavoritesList folder(file.string());
    EXPECT_FALSE(folder.LoadFavorites());
    ASSERT_EQ(m_errors.size(), 3u);
    EXPECT_EQ(m_errors[0].rfind(file.string() + ":\r\n", 0), 0u) << m_errors[0];
    EXPECT_EQ(ReadFile(file / "keep"), "x");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1); // no leftovers
}

TEST_F(FavoritesFileTest, LinesThatAreNotUtf8LoadAndEveryLineKeptIsWrittenBackAsItWasRead) {
    const fs::path file = m_dir / "DealscopeFavorites.txt";
    const std::string latin1 = "http://caf\xE9.example/", cut = "http://x/\xE2\x82", bom = "\xEF\xBB\xBFhttp://bom/";
    WriteFile(file, bom + "\r\n" + latin1 + "\r\nhttp://ok/\n" + cut + "\r\n");
    FavoritesList list(file.string());
    ASSERT_TRUE(list.LoadFavorites());
    EXPECT_EQ(list.Favorites(),
              (List{u"\uFEFFhttp://bom/", u"http://caf\uFFFD.example/", u"http://ok/", u"http://x/\uFFFD"}));
    EXPECT_FALSE(list.CanAdd(u"HTTP://CAF\uFFFD.EXAMPLE/"));

    // Adding keeps every line as it was read (line ends become CR LF) and the new one is UTF-8.
    list.AddFavorite(u"http://new/\u00E9");
    EXPECT_EQ(ReadFile(file), bom + "\r\n" + latin1 + "\r\nhttp://ok/\r\n" + cut + "\r\nhttp://new/\xC3\xA9\r\n");
    // Reordered and with lines removed: the lines kept keep their bytes.
    list.SaveFavorites({3, 1, 4});
    EXPECT_EQ(ReadFile(file), cut + "\r\n" + latin1 + "\r\nhttp://new/\xC3\xA9\r\n");
    EXPECT_EQ(list.Favorites(), (List{u"http://x/\uFFFD", u"http://caf\uFFFD.example/", u"http://new/\u00E9"}));
    EXPECT_TRUE(m_errors.empty());
}

// A favorites file or a desktop folder list that is a pipe would hold the window's start until some writer came:
// neither is read; the favorites are then unreadable (never overwritten), the folder list names no folder.
TEST_F(FavoritesFileTest, PipesAreNeitherReadNorWritten) {
    SetEnv("HOME", m_dir);
    SetEnv("XDG_CONFIG_HOME", "");
    fs::create_directories(m_dir / ".config");
    const fs::path favorites = m_dir / "DealscopeFavorites.txt", folders = m_dir / ".config" / "user-dirs.dirs";
    ASSERT_EQ(mkfifo(favorites.c_str(), 0600) | mkfifo(folders.c_str(), 0600), 0);
    EXPECT_EQ(RunInChild([&] {
                  FavoritesList list(favorites.string());
                  if (list.LoadFavorites() || m_errors.size() != 1 ||
                      m_errors[0] !=
                          favorites.string() + ":\r\nThe favorites file cannot be read: it is not a regular file.")
                      return 1;
                  try {
                      list.AddFavorite(u"http://x/");
                      return 2;
                  } catch (const platform::UserException &) {
                  }
                  return GetDocumentsFolder() == m_dir.string() ? 0 : 3;
              }),
              0);
    EXPECT_TRUE(fs::is_fifo(favorites));
}

// A regular file too large to read may still be written: adding a favorite must not replace it with one line.
TEST_F(FavoritesFileTest, FileTooLargeToReadIsNeverOverwritten) {
    const fs::path file = m_dir / "DealscopeFavorites.txt";
    WriteFile(file, "http://kept/\r\n");
    fs::resize_file(file, 17 << 20); // sparse: the rest reads as zeros
    FavoritesList list(file.string());
    EXPECT_FALSE(list.LoadFavorites());
    EXPECT_THROW(list.AddFavorite(u"http://new/"), platform::UserException);
    EXPECT_EQ(fs::file_size(file), 17u << 20);
    EXPECT_EQ(ReadFile(file).substr(0, 16), std::string("http://kept/\r\n\0\0", 16));
    ASSERT_EQ(m_errors.size(), 2u); // the failed read, then the refused save
    EXPECT_NE(m_errors[0].find("larger than 16777216 bytes"), std::string::npos) << m_errors[0];
    EXPECT_NE(m_errors[1].find("is not overwritten"), std::string::npos) << m_errors[1];
}

TEST_F(FavoritesFileTest, DocumentsFolderFromXdgUserDirsElseHome) {
    SetEnv("HOME", m_dir);
    SetEnv("XDG_CONFIG_HOME", "");
    fs::create_directories(m_dir / ".config");
    WriteFile(m_dir / ".config" / "user-dirs.dirs",
              "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
    EXPECT_EQ(GetDocumentsFolder(), m_dir.string()); // configured but not there
    fs::create_directory(m_dir / "Docs");
    EXPECT_EQ(GetFavoritesPath(), (m_dir / "Docs" / "DealscopeFavorites.txt").string());
}

TEST(FavoritesMenu, AddressesShowAsTheyStandAndItemsPastTheListOpenNothing) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"http://x/?a=1&b=2", u"http://x/?a=1&&b=2"}, {u"a\tb", u"a b"}, {u"", u" "}};
    for (const auto &[url, text] : cases)
        EXPECT_EQ(FavoriteMenuText(url), text) << platform::Utf16ToUtf8(url);

    // Items beyond the list or the menu open nothing.
    EXPECT_EQ(FavoriteIndexFromId(ID_FAVORITE_FIRST + 2, 3), 2);
    EXPECT_EQ(FavoriteIndexFromId(ID_FAVORITE_FIRST + 3, 3), -1);
    EXPECT_EQ(FavoriteIndexFromId(ID_FAVORITE_LAST + 1, 40), -1);
}

TEST(FavoritesOrder, MovesKeepRelativeOrderAndSelectionAndRemoveDropsTheSelectedRows) {
    const struct {
        const char *selected;
        int delta;
        const char *expected;
    } cases[] = {
        {"CE", FavoritesOrder::MOVE_TOP, "CEABD"},
        {"BC", FavoritesOrder::MOVE_BOTTOM, "ADEBC"},
        {"BD", 1, "ACBED"},
        {"BC", -1, "BCADE"},
        {"AB", -1, "ABCDE"},
        {"BD", -1, "BADCE"},
        {"AE", FavoritesOrder::MOVE_BOTTOM, "BCDAE"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.selected) + " by " + std::to_string(c.delta));
        FavoritesOrder order = Select(c.selected);
        order.MoveSelected(c.delta);
        EXPECT_EQ(Letters(order.Order()), c.expected);
        std::vector<int> selected;
        for (int row : order.GetSelection())
            selected.push_back(order.FavoriteAt(row));
        std::sort(selected.begin(), selected.end());
        EXPECT_EQ(Letters(selected), c.selected);
    }
    FavoritesOrder order = Select("BD");
    order.SetMark(3);
    order.MoveSelected(FavoritesOrder::MOVE_TOP);
    EXPECT_EQ(order.Mark(), 1); // the selection mark follows its row
    order.RemoveSelected();
    EXPECT_EQ(Letters(order.Order()), "ACE");
    EXPECT_TRUE(order.GetSelection().empty());
}
