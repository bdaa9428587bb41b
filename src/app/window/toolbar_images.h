#pragma once
// The toolbar's images: the desktop theme's icons where it has them, else a plain image of our own.
#include <wx/bitmap.h>

// A 16-pixel toolbar image for a command id.
wxBitmap ToolbarImage(int commandId);
