#include "app/window/toolbar_images.h"

#include <wx/artprov.h>
#include <wx/dcmemory.h>

#include "app/window/command_ids.h"

namespace {

struct ImageName {
    int id;
    const char *art; // a wxArtProvider id
    const char *letter;
};

const ImageName IMAGES[] = {
    {wxID_NEW, wxART_NEW, "N"},       {wxID_OPEN, wxART_FILE_OPEN, "O"},      {wxID_CUT, wxART_CUT, "X"},
    {wxID_COPY, wxART_COPY, "C"},     {wxID_PASTE, wxART_PASTE, "V"},         {wxID_PRINT, wxART_PRINT, "P"},
    {ID_GO_BACK, wxART_GO_BACK, "<"}, {ID_GO_FORWARD, wxART_GO_FORWARD, ">"}, {ID_STOP, wxART_CLOSE, "x"},
    {ID_REFRESH, wxART_REDO, "R"},    {ID_VIEW_HELP, wxART_HELP_BOOK, "?"},
};

// A plain image with one letter, for a desktop without an icon theme.
wxBitmap LetterImage(const char *letter) {
    wxBitmap bitmap(16, 16, 24);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetTextForeground(*wxBLACK);
    dc.SetFont(wxFontInfo(9).Bold());
    wxSize extent = dc.GetTextExtent(letter);
    dc.DrawText(letter, (16 - extent.x) / 2, (16 - extent.y) / 2);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

} // namespace

wxBitmap ToolbarImage(int commandId) {
    for (const ImageName &image : IMAGES) {
        if (image.id != commandId)
            continue;
        wxBitmap bitmap = wxArtProvider::GetBitmap(image.art, wxART_TOOLBAR, wxSize(16, 16));
        return bitmap.IsOk() ? bitmap : LetterImage(image.letter);
    }
    return LetterImage("?");
}
