#pragma once
// Command ids of the window. The framework's own commands (New, Open, Close, Print, Exit, the edit commands,
// the recent files, About) use wxWidgets' stock ids so that the document manager handles them.
#include <wx/defs.h>

#include "app/favorites_menu.h" // ID_ADD_TO_FAVORITES, ID_FAVORITES, ID_FAVORITE_FIRST..ID_FAVORITE_LAST

// The program's command numbers, as its menus, toolbar and accelerators know them. wxWidgets takes command ids
// below 0x7FFF only, so the numbers from there up are moved down, as the favorites' numbers are: the program's
// own (32771..36895) by 0x4000, the framework's (57648..59393) by 0x8000.
constexpr int WxCommandId(int commandNumber) {
    return commandNumber >= 0xC000   ? commandNumber - 0x8000
           : commandNumber >= 0x7FFF ? commandNumber - 0x4000
                                     : commandNumber;
}

enum : int {
    ID_WINDOW_MANAGER = 131,

    ID_ENTER_URL = WxCommandId(32771),
    ID_GO_BACK = WxCommandId(32772),
    ID_GO_FORWARD = WxCommandId(32773),
    ID_STOP = WxCommandId(32774),
    ID_REFRESH = WxCommandId(32775),
    ID_VIEW_HELP = WxCommandId(32785),
    ID_VIEW_SOURCE = WxCommandId(32786),
    ID_VIEW_PBN = WxCommandId(32787),
    ID_SAVE_HTML_AS = WxCommandId(32788),
    ID_SHOW_STATUS = WxCommandId(32789),
    ID_SAVE_PBN_AS = WxCommandId(32790),
    ID_RECAP_OMIT = WxCommandId(32792),
    ID_RECAP_INSERT_BOARD = WxCommandId(32793),
    ID_RECAP_ADD_TO_BOARD1 = WxCommandId(32794),
    ID_OPEN_WITH_TRICKSMITH = WxCommandId(32795),
    ID_DOUBLE_DUMMY_ALL = WxCommandId(32796),
    ID_VIEW_TEXT = WxCommandId(32797),
    ID_SAVE_TEXT_AS = WxCommandId(32798),

    ID_WINDOW_NEW = WxCommandId(57648),
    ID_VIEW_TOOLBAR = WxCommandId(59392),
    ID_VIEW_STATUS_BAR = WxCommandId(59393),
    // The status bar's entry in the list of panes: the same command as View's "Status Bar", under an id of its own
    // so that the menu updates tick both items (an update ticks the first item of its id in a menu and below).
    ID_PANE_STATUS_BAR = WxCommandId(59394),
};

// The recent-file list of the File menu.
inline constexpr int RECENT_FILE_COUNT = 4;
