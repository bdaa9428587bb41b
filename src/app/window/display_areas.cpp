#include "app/window/display_areas.h"

#include <wx/display.h>

SizeBoxRect ToBoxRect(const wxRect &rect) {
    return {rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
}

wxRect ToWxRect(const SizeBoxRect &rect) {
    return {rect.left, rect.top, rect.Width(), rect.Height()};
}

std::vector<SizeBoxRect> DisplayWorkAreas() {
    std::vector<SizeBoxRect> areas;
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i)
        areas.push_back(ToBoxRect(wxDisplay(i).GetClientArea()));
    return areas;
}

wxRect WorkAreaOf(const wxWindow *window) {
    const int display = wxDisplay::GetFromWindow(window);
    return wxDisplay(display == wxNOT_FOUND ? 0u : unsigned(display)).GetClientArea();
}
