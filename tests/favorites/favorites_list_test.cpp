// The rules of the favorites list that need no display: how the popup shows and marks the favorites, and how the
// dialog's working order moves and removes rows.
#include <algorithm>
#include <gtest/gtest.h>
#include <string>

#include "app/favorites_menu.h"
#include "app/favorites_order.h"
#include "platform/wide_text.h"

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
