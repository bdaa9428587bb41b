#include "app/window/favorites_popup.h"

#include <wx/menu.h>

#include "app/favorites_menu.h"
#include "app/window/wx_text.h"

FavoritesFirstItemState RebuildFavoritesMenu(wxMenu *menu, const std::vector<std::u16string> &favorites,
                                             std::u16string_view currentUrl, bool hasView) {
    FavoritesFirstItemState state;
    size_t position = 0;
    wxMenuItem *first = menu ? menu->FindChildItem(ID_FAVORITE_FIRST, &position) : nullptr;
    if (!first)
        return state;
    // The items of the last rebuild go, all of them, also when the list has become empty.
    for (int id = ID_FAVORITE_FIRST + 1; id <= ID_FAVORITE_LAST; ++id)
        if (wxMenuItem *item = menu->FindChildItem(id))
            menu->Destroy(item);

    const FavoritesMenuItems items = GetFavoritesMenuItems(favorites, currentUrl);
    if (items.count == 0) {
        // Always the placeholder's own text: never an address left from an earlier rebuild.
        first->SetItemLabel(ToWx(FAVORITES_PLACEHOLDER_TEXT));
        if (first->IsCheckable())
            first->Check(false);
        first->Enable(false);
        return state;
    }
    first->SetItemLabel(ToWx(FavoriteMenuText(favorites[0])));
    first->Enable(hasView);
    for (int i = 1; i < items.count; ++i) {
        wxMenuItem *item =
            menu->InsertCheckItem(position + static_cast<size_t>(i), ID_FAVORITE_FIRST + i,
                                  ToWx(FavoriteMenuText(favorites[static_cast<size_t>(i)])), ToWx(FAVORITE_PROMPT));
        item->Enable(hasView);
    }
    for (int i = 0; i < items.count; ++i) {
        wxMenuItem *item = menu->FindChildItem(ID_FAVORITE_FIRST + i);
        if (item && item->IsCheckable())
            item->Check(i == items.marked);
    }
    state.enabled = hasView;
    state.checked = items.marked == 0;
    return state;
}
