#include "app/window/program_icons.h"

#include <filesystem>
#include <string>

#include <gtk/gtk.h>
#include <wx/iconbndl.h>
#include <wx/log.h>
#include <wx/toplevel.h>

#include "app/program_folders.h"

void SetProgramIcons(wxTopLevelWindow &mainFrame) {
    const std::string folder = IconFolder();
    wxIconBundle icons;
    {
        wxLogNull quiet; // a size that does not load is left out
        for (int size : {16, 24, 32, 48, 64, 128, 256}) {
            std::string side = std::to_string(size);
            std::string path = folder + "/" + side + "x" + side + "/apps/dealscope.png";
            wxIcon icon;
            if (std::filesystem::exists(path) && icon.LoadFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG))
                icons.AddIcon(icon);
        }
    }
    if (icons.IsEmpty())
        return;
    mainFrame.SetIcons(icons);
    // GTK gives windows without an icon of their own the default list.
    GList *pixbufs = nullptr;
    for (size_t i = 0; i < icons.GetIconCount(); ++i)
        pixbufs = g_list_append(pixbufs, icons.GetIconByIndex(i).GetPixbuf());
    gtk_window_set_default_icon_list(pixbufs);
    g_list_free(pixbufs);
}
