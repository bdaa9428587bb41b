#pragma once
// The favorite items of the Favorites popup: the first 32 favorites as items ID_FAVORITE_FIRST onwards, or the
// disabled placeholder "Top Favorites" while the list is empty.
#include <string>
#include <vector>

class wxMenu;
class wxMenuBar;

// Makes the items after the item ID_FAVORITE_FIRST (a check item that keeps its place) list the favorites, as
// check items drawn with radio marks (DrawAsRadio); a menu that already lists them is left alone. Done whenever the
// list may have changed and never while the popup is open: the toolkit sizes a popup as it opens it, so items made then
// would not fit it. The items' enabled state and the mark on the page on display follow at each opening, from the menu
// update. Returns whether the items changed.
bool SetFavoritesMenuItems(wxMenu *menu, const std::vector<std::u16string> &favorites);
// The Favorites popup of a menu bar, or nullptr when it has none.
wxMenu *FindFavoritesMenu(wxMenuBar *menuBar);
