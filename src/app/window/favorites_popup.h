#pragma once
// The favorite items of the Favorites popup: the first 32 favorites as items ID_FAVORITE_FIRST onwards, the page
// on display marked, or the disabled placeholder "Top Favorites" while the list is empty.
#include <string>
#include <string_view>
#include <vector>

class wxMenu;

// Rebuilds the items after the item ID_FAVORITE_FIRST, which must be a check item and stays in its place (so
// that a menu update walk that is visiting it goes on safely to the new items). hasView: the page window has a
// browser to open them in. Returns whether the first item is enabled and checked, for an update event to repeat.
struct FavoritesFirstItemState {
    bool enabled = false;
    bool checked = false;
};
FavoritesFirstItemState RebuildFavoritesMenu(wxMenu *menu, const std::vector<std::u16string> &favorites,
                                             std::u16string_view currentUrl, bool hasView);
