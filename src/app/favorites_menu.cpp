#include "app/favorites_menu.h"

#include <algorithm>

#include "platform/wide_text.h"

std::u16string FavoriteMenuText(std::u16string_view url) {
    if (url.empty())
        return u" ";
    std::u16string text;
    text.reserve(url.size() + 4);
    for (char16_t c : url) {
        if (c == u'&')
            text += u"&&";
        else if (c == u'\t')
            text += u' ';
        else
            text += c;
    }
    return text;
}

FavoritesMenuItems GetFavoritesMenuItems(const std::vector<std::u16string> &favorites, std::u16string_view currentUrl) {
    FavoritesMenuItems items;
    items.count = static_cast<int>(std::min<size_t>(favorites.size(), FAVORITES_MENU_COUNT));
    for (int i = 0; i < items.count; ++i)
        if (platform::WcsICmp(favorites[static_cast<size_t>(i)], currentUrl) == 0)
            items.marked = i;
    return items;
}

int FavoriteIndexFromId(int id, size_t favoriteCount) {
    const int index = id - ID_FAVORITE_FIRST;
    if (index < 0 || id > ID_FAVORITE_LAST || static_cast<size_t>(index) >= favoriteCount)
        return -1;
    return index;
}
