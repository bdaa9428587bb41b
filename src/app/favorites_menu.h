#pragma once
// The Favorites popup of the page window's menu: its commands, texts and which favorites it lists.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The command numbers less 0x4000: wxWidgets takes menu ids below 0x7FFF only.
inline constexpr int ID_ADD_TO_FAVORITES = 32783 - 0x4000;
inline constexpr int ID_FAVORITES = 32784 - 0x4000;
// The favorite items: item i of the popup, with the id ID_FAVORITE_FIRST + i, stands for favorite i.
inline constexpr int ID_FAVORITE_FIRST = 36864 - 0x4000;
inline constexpr int ID_FAVORITE_LAST = 36895 - 0x4000;
inline constexpr int FAVORITES_MENU_COUNT = ID_FAVORITE_LAST - ID_FAVORITE_FIRST + 1; // 32

inline constexpr char16_t FAVORITES_MENU_TITLE[] = u"F&avorites";
inline constexpr char16_t ADD_TO_FAVORITES_TEXT[] = u"&Add To Favorites";
inline constexpr char16_t ADD_TO_FAVORITES_PROMPT[] = u"Add current URL to Favorites list";
inline constexpr char16_t FAVORITES_TEXT[] = u"&Favorites...";
inline constexpr char16_t FAVORITES_PROMPT[] = u"Display Favorites list";
// The one item the popup shows while the list is empty; always this text, never an address.
inline constexpr char16_t FAVORITES_PLACEHOLDER_TEXT[] = u"Top Favorites";
inline constexpr char16_t FAVORITE_PROMPT[] = u"Browse to this URL";

// The menu text that shows an address as it stands: '&' doubled so it is no mnemonic, a tab (which would start
// an accelerator) shown as a blank, and an empty entry as one blank, since a menu item needs some text.
std::u16string FavoriteMenuText(std::u16string_view url);

// What the popup lists: the first FAVORITES_MENU_COUNT favorites, and
// the index of the item to mark as the page on display: the last whose address equals currentUrl, ASCII letters
// compared without case; -1 when none does.
struct FavoritesMenuItems {
    int count = 0;
    int marked = -1;
};
FavoritesMenuItems GetFavoritesMenuItems(const std::vector<std::u16string> &favorites, std::u16string_view currentUrl);

// The favorite that a favorite item's id stands for, or -1 when the id is outside the items or the list.
int FavoriteIndexFromId(int id, size_t favoriteCount);
