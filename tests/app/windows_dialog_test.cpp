// The Windows dialog over the real main window: its list, where several windows can be chosen, and what its
// buttons do to the tabs.
#include <gtk/gtk.h>
#include <wx/aui/auibook.h>
#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/modalhook.h>

#include "app/window/command_ids.h"
#include "app/window/main_frame.h"
#include "app/window/windows_dialog.h"
#include "window_driver.h"

namespace {

class WindowsDialogTest : public GuiTest {
protected:
    // The tabs' titles in order, the active one in brackets.
    static std::string Tabs() {
        wxAuiNotebook *tabs = g_pMainFrame->GetNotebook();
        std::string text;
        for (size_t i = 0; i < tabs->GetPageCount(); ++i) {
            const std::string title = tabs->GetPageText(i).utf8_string();
            text += int(i) == tabs->GetSelection() ? "[" + title + "] " : title + " ";
        }
        return text;
    }
    // The dialog's rows as the list shows them, the chosen ones in brackets, as GTK has them.
    static std::string Rows(CWindowsDialog &dialog) {
        GtkTreeView *view = GTK_TREE_VIEW(dialog.GetList()->m_treeview);
        GtkTreeSelection *selection = gtk_tree_view_get_selection(view);
        std::string text;
        for (unsigned row = 0; row < dialog.GetList()->GetCount(); ++row) {
            GtkTreePath *path = gtk_tree_path_new_from_indices(int(row), -1);
            const std::string title = dialog.GetList()->GetString(row).utf8_string();
            text += gtk_tree_selection_path_is_selected(selection, path) ? "[" + title + "] " : title + " ";
            gtk_tree_path_free(path);
        }
        return text;
    }
    // Chooses rows as a click and Ctrl+clicks would, through GTK's own selection.
    static void Choose(CWindowsDialog &dialog, std::initializer_list<int> rows) {
        GtkTreeSelection *selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(dialog.GetList()->m_treeview));
        gtk_tree_selection_unselect_all(selection);
        for (int row : rows) {
            GtkTreePath *path = gtk_tree_path_new_from_indices(row, -1);
            gtk_tree_selection_select_path(selection, path);
            gtk_tree_path_free(path);
        }
        Pump(0.05);
    }
    static void Click(CWindowsDialog &dialog, int id) {
        auto *button = dynamic_cast<wxButton *>(dialog.FindWindow(id));
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->IsEnabled());
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(event);
    }
    // Activate and Close Window(s) as A and C, or '-' when disabled.
    static std::string Buttons(CWindowsDialog &dialog) {
        return std::string(1, dialog.FindWindow(CWindowsDialog::IDC_ACTIVATE)->IsEnabled() ? 'A' : '-') +
               (dialog.FindWindow(CWindowsDialog::IDC_CLOSE_WINDOWS)->IsEnabled() ? 'C' : '-');
    }
};

} // namespace

TEST_F(WindowsDialogTest, SeveralWindowsChosenAreClosedTogetherAndOneIsActivated) {
    ASSERT_TRUE(Start({CopyPage("layout_a.htm", "club.htm")}));
    ASSERT_TRUE(WaitForPage());
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Command(ID_WINDOW_NEW));
    ASSERT_TRUE(RunUntil([] { return TabCount() == 4; }, 5));
    const std::string opened = Tabs();

    // The menu command opens this dialog, modal over the main window.
    struct Catch : wxModalDialogHook {
        bool windows = false;
        int Enter(wxDialog *dialog) override {
            windows = dynamic_cast<CWindowsDialog *>(dialog) && dialog->GetParent() == g_pMainFrame;
            return wxID_CANCEL;
        }
        void Exit(wxDialog *) override {}
    } hook;
    hook.Register();
    ASSERT_TRUE(Command(ID_WINDOW_MANAGER));
    hook.Unregister();
    EXPECT_TRUE(hook.windows);

    CWindowsDialog dialog(g_pMainFrame);
    dialog.Show();
    Pump(0.1);
    // Every window in tab order, the active one chosen; a list where several can be chosen.
    const std::string titles[] = {"Tuesday Evening Pairs:1", "Tuesday Evening Pairs:2", "Tuesday Evening Pairs:3",
                                  "Tuesday Evening Pairs:4"};
    ASSERT_EQ(opened, titles[0] + " " + titles[1] + " " + titles[2] + " [" + titles[3] + "] ");
    EXPECT_EQ(Rows(dialog), titles[0] + " " + titles[1] + " " + titles[2] + " [" + titles[3] + "] ");
    EXPECT_EQ(gtk_tree_selection_get_mode(gtk_tree_view_get_selection(GTK_TREE_VIEW(dialog.GetList()->m_treeview))),
              GTK_SELECTION_MULTIPLE);
    EXPECT_EQ(Buttons(dialog), "AC");
    // Every title shows whole.
    int rowsWidth = 0;
    gtk_widget_get_preferred_width(GTK_WIDGET(dialog.GetList()->m_treeview), nullptr, &rowsWidth);
    EXPECT_GE(dialog.GetList()->GetClientSize().x, rowsWidth);

    // Two windows chosen: no single one to activate; both close, the others stay, and the list shows those.
    Choose(dialog, {0, 2});
    EXPECT_EQ(Rows(dialog), "[" + titles[0] + "] " + titles[1] + " [" + titles[2] + "] " + titles[3] + " ");
    EXPECT_EQ(Buttons(dialog), "-C");
    Click(dialog, CWindowsDialog::IDC_CLOSE_WINDOWS);
    EXPECT_TRUE(RunUntil([] { return TabCount() == 2; }, 5));
    Pump(0.2); // the remaining windows are numbered again
    EXPECT_EQ(Tabs(), "Tuesday Evening Pairs:1 [Tuesday Evening Pairs:2] ");
    EXPECT_EQ(Rows(dialog), "Tuesday Evening Pairs:1 [Tuesday Evening Pairs:2] ");
    EXPECT_EQ(Buttons(dialog), "AC");

    // None chosen: nothing to act on.
    Choose(dialog, {});
    EXPECT_EQ(Buttons(dialog), "--");

    // Activate brings the chosen window to the front and keeps the dialog; OK does the same and closes it.
    Choose(dialog, {0});
    Click(dialog, CWindowsDialog::IDC_ACTIVATE);
    EXPECT_TRUE(RunUntil([] { return g_pMainFrame->GetNotebook()->GetSelection() == 0; }, 5));
    EXPECT_TRUE(dialog.IsShown());
    Choose(dialog, {1});
    Click(dialog, wxID_OK);
    EXPECT_TRUE(RunUntil([] { return g_pMainFrame->GetNotebook()->GetSelection() == 1; }, 5));
    EXPECT_FALSE(dialog.IsShown());
    EXPECT_EQ(TabCount(), 2u);
}
