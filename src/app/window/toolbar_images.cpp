#include "app/window/toolbar_images.h"

#include <gtk/gtk.h>
#include <wx/artprov.h>
#include <wx/dcmemory.h>
#include <wx/settings.h>

#include "app/window/command_ids.h"

namespace {

struct ImageName {
    int id;
    const char *art; // a wxArtProvider id
    const char *letter;
    // The theme's one-colour icon, drawn in the colour of text, for a button whose full-colour icon is too pale to
    // be told from its greyed form: the arrows are white with a faint rim.
    const char *plainIcon = nullptr;
};

const ImageName IMAGES[] = {
    {wxID_NEW, wxART_NEW, "N"},
    {wxID_OPEN, wxART_FILE_OPEN, "O"},
    {wxID_CUT, wxART_CUT, "X"},
    {wxID_COPY, wxART_COPY, "C"},
    {wxID_PASTE, wxART_PASTE, "V"},
    {wxID_PRINT, wxART_PRINT, "P"},
    {ID_GO_BACK, wxART_GO_BACK, "<", "go-previous-symbolic"},
    {ID_GO_FORWARD, wxART_GO_FORWARD, ">", "go-next-symbolic"},
    {ID_STOP, wxART_CLOSE, "x"},
    {ID_REFRESH, wxART_REDO, "R"},
    {ID_VIEW_HELP, wxART_HELP_BOOK, "?"},
};

wxBitmap PlainIconImage(const char *name) {
    GtkIconInfo *info = gtk_icon_theme_lookup_icon(gtk_icon_theme_get_default(), name, 16, GTK_ICON_LOOKUP_FORCE_SIZE);
    if (!info)
        return wxNullBitmap;
    const wxColour text = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT);
    const GdkRGBA colour{text.Red() / 255.0, text.Green() / 255.0, text.Blue() / 255.0, 1.0};
    GdkPixbuf *pixbuf = gtk_icon_info_load_symbolic(info, &colour, nullptr, nullptr, nullptr, nullptr, nullptr);
    g_object_unref(info);
    return pixbuf ? wxBitmap(pixbuf) : wxNullBitmap; // the bitmap takes the pixbuf
}

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
        wxBitmap bitmap = image.plainIcon ? PlainIconImage(image.plainIcon) : wxNullBitmap;
        if (!bitmap.IsOk())
            bitmap = wxArtProvider::GetBitmap(image.art, wxART_TOOLBAR, wxSize(16, 16));
        return bitmap.IsOk() ? bitmap : LetterImage(image.letter);
    }
    return LetterImage("?");
}
