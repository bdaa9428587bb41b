#pragma once
// The Favorites commands of a page window (Add To Favorites, Favorites..., the favorite items) live with the
// favorites code of the window. The page document hands those commands and their update events to the handler
// installed here; while none is installed they stay disabled. Start-up calls LoadFavorites of the installed
// handler (after the settings and before the document templates).
class CDSCDocument;
class wxCommandEvent;
class wxMenuBar;
class wxUpdateUIEvent;

class IFavoritesCommands {
public:
    virtual ~IFavoritesCommands() = default;
    // Start-up: fill the program's favorites list.
    virtual void LoadFavorites() = 0;
    // ID_ADD_TO_FAVORITES, ID_FAVORITES and ID_FAVORITE_FIRST..ID_FAVORITE_LAST on the document of the active
    // page window. For a menu update the event object is the wxMenu being shown.
    virtual void OnCommand(CDSCDocument &document, wxCommandEvent &event) = 0;
    virtual void OnUpdate(CDSCDocument &document, wxUpdateUIEvent &event) = 0;
    // Makes the favorite items of a menu bar's Favorites popup list the favorites (see SetFavoritesMenuItems).
    virtual void RefreshMenu(wxMenuBar *menuBar) = 0;
};

void SetFavoritesCommands(IFavoritesCommands *commands);
IFavoritesCommands *GetFavoritesCommands();
