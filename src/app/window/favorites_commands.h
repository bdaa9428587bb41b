#pragma once
// The page window's Favorites commands: Add To Favorites, Favorites..., and the favorite items of the popup,
// on the program's list (AppFavorites).
#include "app/window/favorites_hooks.h"

class FavoritesList;

class FavoritesCommands : public IFavoritesCommands {
public:
    explicit FavoritesCommands(FavoritesList &favorites) : m_favorites(favorites) {}

    void LoadFavorites() override;
    void OnCommand(CDSCDocument &document, wxCommandEvent &event) override;
    void OnUpdate(CDSCDocument &document, wxUpdateUIEvent &event) override;
    void RefreshMenu(wxMenuBar *menuBar) override;

private:
    FavoritesList &m_favorites;
};

// The commands on the program's list; start-up installs them with SetFavoritesCommands.
IFavoritesCommands &AppFavoritesCommands();
