#include <gtest/gtest.h>

#include "app/favorites_menu.h"
#include "platform/wide_text.h"

TEST(FavoritesMenu, AddressesShowAsTheyStand) {
    EXPECT_EQ(FavoriteMenuText(u"http://x/?a=1&b=2"), u"http://x/?a=1&&b=2");
    EXPECT_EQ(FavoriteMenuText(u"&&"), u"&&&&");
    EXPECT_EQ(FavoriteMenuText(u"a\tb"), u"a b");
    EXPECT_EQ(FavoriteMenuText(u""), u" ");
    EXPECT_EQ(FavoriteMenuText(u"file:///home/me/Club_Night.htm"), u"file:///home/me/Club_Night.htm");
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
}

TEST(FavoritesMenu, ItemsBeyondListOrMenuOpenNothing) {
    EXPECT_EQ(ID_FAVORITE_LAST - ID_FAVORITE_FIRST + 1, 32);
    EXPECT_LT(ID_FAVORITE_LAST, 0x7FFF);
    EXPECT_EQ(FavoriteIndexFromId(ID_FAVORITE_FIRST, 3), 0);
    EXPECT_EQ(FavoriteIndexFromId(ID_FAVORITE_FIRST + 2, 3), 2);
    EXPECT_EQ(FavoriteIndexFromId(ID_FAVORITE_FIRST + 3, 3), -1);
    EXPECT_EQ(FavoriteIndexFromId(ID_FAVORITE_FIRST - 1, 3), -1);
    EXPECT_EQ(FavoriteIndexFromId(ID_FAVORITE_LAST, 40), 31);
    EXPECT_EQ(FavoriteIndexFromId(ID_FAVORITE_LAST + 1, 40), -1);
}
