#pragma once
// The menu bars and the keyboard accelerators of the window.
#include <wx/accel.h>

class wxMenuBar;
class wxMenu;
class wxMenuItem;

// The list of the window's panes, the toolbar "Standard" and the status bar, each a check item that shows or hides
// its pane: View's "Toolbars and Docking Windows" and the menu that a right click on a bar pops up. The menu bar is
// no entry: hidden, it could not be shown again.
wxMenu *CreatePaneMenu();
// The frame menu, shown while no page window is open.
wxMenuBar *CreateMainMenuBar();
// The document menu of page and text windows. A right click on either menu bar sends its frame a context-menu event
// whose object is the menu bar.
wxMenuBar *CreateDocumentMenuBar();
// The accelerators that have no menu item of their own (Ctrl+Insert, Shift+Delete, Shift+Insert,
// Alt+Backspace, F5).
wxAcceleratorTable CreateExtraAccelerators();

// The File menu of a menu bar (its first menu).
wxMenu *GetFileMenu(wxMenuBar *menuBar);

// Gives a check item the round mark of a choice among several (the recap option, the page on display) in place of
// a tick. It stays a check item: choosing the option already marked still reaches its command, and no item need
// be marked, which a toolkit radio group would not allow. Returns the item.
wxMenuItem *DrawAsRadio(wxMenuItem *item);
