#include "app/window/favorites_hooks.h"

namespace {
IFavoritesCommands *g_favoritesCommands = nullptr;
}

void SetFavoritesCommands(IFavoritesCommands *commands) {
    g_favoritesCommands = commands;
}
IFavoritesCommands *GetFavoritesCommands() {
    return g_favoritesCommands;
}
