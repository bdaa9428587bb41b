#include "app/window/favorites_popup.h"

#include <wx/menu.h>

#include "app/favorites_menu.h"
#include "app/window/menus.h"
#include "app/window/wx_text.h"

bool SetFavoritesMenuItems(wxMenu *menu, const std::vector<std::u16string> &favorites) {
    size_t position = 0;
    wxMenuItem *first = menu ? menu->FindChildItem(ID_FAVORITE_FIRST, &position) : nullptr;
    if (!first)
        return false;
    const int count = GetFavoritesMenuItems(favorites, {}).count;
    std::vector<wxString> labels;
    for (int i = 0; i < count; ++i)
        labels.push_back(ToWx(FavoriteMenuText(favorites[static_cast<size_t>(i)])));
    if (labels.empty())
        labels.push_back(ToWx(FAVORITES_PLACEHOLDER_TEXT)); // always its own text, never an address left over

    bool same = menu->FindChildItem(ID_FAVORITE_FIRST + static_cast<int>(labels.size())) == nullptr;
    for (size_t i = 0; same && i < labels.size(); ++i) {
        const wxMenuItem *item = menu->FindChildItem(ID_FAVORITE_FIRST + static_cast<int>(i));
        same = item && item->GetItemLabel() == labels[i];
    }
    if (same)
        return false;

    // The items of the last list go, all of them, also when the list has become empty.
    for (int id = ID_FAVORITE_FIRST + 1; id <= ID_FAVORITE_LAST; ++id)
        if (wxMenuItem *item = menu->FindChildItem(id))
            menu->Destroy(item);
    first->SetItemLabel(labels[0]);
    if (count == 0) {
        first->Check(false);
        first->Enable(false);
    }
    for (size_t i = 1; i < labels.size(); ++i)
        DrawAsRadio(menu->InsertCheckItem(position + i, ID_FAVORITE_FIRST + static_cast<int>(i), labels[i],
                                          ToWx(FAVORITE_PROMPT)));
    return true;
}

wxMenu *FindFavoritesMenu(wxMenuBar *menuBar) {
    wxMenu *menu = nullptr;
    return menuBar && menuBar->FindItem(ID_FAVORITE_FIRST, &menu) ? menu : nullptr;
}
