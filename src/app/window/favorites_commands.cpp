#include "app/window/favorites_commands.h"

#include <wx/aui/auibook.h>
#include <wx/aui/tabmdi.h>
#include <wx/menu.h>

#include "app/favorites.h"
#include "app/favorites_menu.h"
#include "app/window/browser_view.h"
#include "app/window/favorites_dialog.h"
#include "app/window/favorites_popup.h"
#include "app/window/page_document.h"
#include "app/window/window_services.h"
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
        if (IMainWindow *mainWindow = GetMainWindow())
            mainWindow->RefreshListMenus();
    } else if (id == ID_FAVORITES) {
        CFavoritesDialog dialog(GetMainFrame(), m_favorites);
        if (document.GetBrowserView())
            dialog.SetNavigator([&document](const std::u16string &url) { document.Navigate(url); });
        dialog.ShowModal();
        if (IMainWindow *mainWindow = GetMainWindow())
            mainWindow->RefreshListMenus();
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
    } else if (id >= ID_FAVORITE_FIRST && id <= ID_FAVORITE_LAST) {
        // The items themselves were made when the list changed; here each only learns whether it can be chosen
        // and whether it stands for the page on display.
        const FavoritesMenuItems items = GetFavoritesMenuItems(m_favorites.Favorites(), document.Page().m_strURL);
        const int index = id - ID_FAVORITE_FIRST;
        event.Enable(hasView && index < items.count);
        event.Check(index == items.marked);
    }
}

void FavoritesCommands::RefreshMenu(wxMenuBar *menuBar) {
    SetFavoritesMenuItems(FindFavoritesMenu(menuBar), m_favorites.Favorites());
}

IFavoritesCommands &AppFavoritesCommands() {
    static FavoritesCommands commands(AppFavorites());
    return commands;
}
