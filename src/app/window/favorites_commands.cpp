#include "app/window/favorites_commands.h"

#include <wx/menu.h>

#include "app/favorites.h"
#include "app/favorites_menu.h"
#include "app/window/browser_view.h"
#include "app/window/favorites_dialog.h"
#include "app/window/favorites_popup.h"
#include "app/window/main_frame.h"
#include "app/window/page_document.h"
#include "platform/error_report.h"

void FavoritesCommands::LoadFavorites() {
    m_favorites.LoadFavorites();
}

void FavoritesCommands::OnCommand(CDSCDocument &document, wxCommandEvent &event) {
    const int id = event.GetId();
    if (id == ID_ADD_TO_FAVORITES) {
        const std::u16string &url = document.Page().m_strURL;
        // Menu and accelerator run only while enabled, but a toolbar button may be pressed on a stale state.
        if (m_favorites.CanAdd(url))
            m_favorites.AddFavorite(url); // reports and throws UserException when the file cannot take it
    } else if (id == ID_FAVORITES) {
        CFavoritesDialog dialog(g_pMainFrame, m_favorites);
        if (document.GetBrowserView())
            dialog.SetNavigator([&document](const std::u16string &url) { document.Navigate(url); });
        dialog.ShowModal();
    } else if (const int index = FavoriteIndexFromId(id, m_favorites.Favorites().size());
               index >= 0 && document.GetBrowserView()) {
        // A copy: navigating may run the event loop, during which the list could change.
        const std::u16string url = m_favorites.Favorites()[static_cast<size_t>(index)];
        document.Navigate(url);
    }
}

void FavoritesCommands::OnUpdate(CDSCDocument &document, wxUpdateUIEvent &event) {
    const int id = event.GetId();
    const bool hasView = document.GetBrowserView() != nullptr;
    if (id == ID_ADD_TO_FAVORITES) {
        event.Enable(m_favorites.CanAdd(document.Page().m_strURL));
    } else if (id == ID_FAVORITES) {
        event.Enable(true);
    } else if (id == ID_FAVORITE_FIRST) {
        // While the popup is being updated its favorite items are rebuilt; as a plain command (an accelerator),
        // the first one may run while there is a view and a favorite.
        if (auto *menu = dynamic_cast<wxMenu *>(event.GetEventObject())) {
            const FavoritesFirstItemState state =
                RebuildFavoritesMenu(menu, m_favorites.Favorites(), document.Page().m_strURL, hasView);
            event.Enable(state.enabled);
            if (wxMenuItem *first = menu->FindItem(ID_FAVORITE_FIRST); first && first->IsCheckable())
                event.Check(state.checked);
        } else {
            event.Enable(hasView && !m_favorites.Favorites().empty());
        }
    } else if (id > ID_FAVORITE_FIRST && id <= ID_FAVORITE_LAST) {
        event.Enable(hasView);
    }
}

IFavoritesCommands &AppFavoritesCommands() {
    static FavoritesCommands commands(AppFavorites());
    return commands;
}
