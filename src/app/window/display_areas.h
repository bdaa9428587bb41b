#pragma once
// The screens' work areas (each screen less its panels and docks) as the windows need them, and the conversions
// between the toolkit's rectangles and the placement rules' ones (app/work_area.h, app/dialog_state.h).
#include <vector>

#include <wx/gdicmn.h>

#include "app/size_box.h"

class wxWindow;

SizeBoxRect ToBoxRect(const wxRect &rect);
wxRect ToWxRect(const SizeBoxRect &rect);

// The work area of every screen there is now.
std::vector<SizeBoxRect> DisplayWorkAreas();
// The work area of the screen the window is on; the first screen's when it is on none.
wxRect WorkAreaOf(const wxWindow *window);
