#pragma once
// The menu bars and the keyboard accelerators of the window.
#include <wx/accel.h>

class wxMenuBar;
class wxMenu;

// The frame menu, shown while no page window is open.
wxMenuBar *CreateMainMenuBar();
// The document menu of page and text windows.
wxMenuBar *CreateDocumentMenuBar();
// The accelerators that have no menu item of their own (Ctrl+Insert, Shift+Delete, Shift+Insert,
// Alt+Backspace, F5).
wxAcceleratorTable CreateExtraAccelerators();

// The File menu of a menu bar (its first menu).
wxMenu *GetFileMenu(wxMenuBar *menuBar);
