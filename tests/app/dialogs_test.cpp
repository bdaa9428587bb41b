// The Favorites dialog, the resizable-dialog grip, the Favorites popup's items and the About box on the toolkit
// alone.
#include <filesystem>

#include <gtk/gtk.h>

#include <wx/hyperlink.h>
#include <wx/menu.h>

#include "app/favorites.h"
#include "app/favorites_menu.h"
#include "app/window/about_box.h"
#include "app/window/favorites_dialog.h"
#include "app/window/favorites_popup.h"
#include "app/window/size_box_window.h"
#include "app/window/wx_text.h"
#include "platform/error_report.h"
#include "platform/settings.h"
#include "platform/wide_text.h"
#include "window_driver.h"

namespace {

class FavoritesDialogTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        StartToolkit();
        m_file = m_home + "/DealscopeFavorites.txt";
        WriteFile(m_file, "A\r\nB\r\nC\r\nD\r\nE\r\n");
        m_list = std::make_unique<FavoritesList>(m_file);
        ASSERT_TRUE(m_list->LoadFavorites());
    }

    // A dialog set up as the Favorites command sets it up, shown modeless so the test can drive it.
    std::unique_ptr<CFavoritesDialog> Open(bool withView = true) {
        auto dialog = std::make_unique<CFavoritesDialog>(nullptr, *m_list);
        if (withView)
            dialog->SetNavigator([this](const std::u16string &url) { m_navigated.push_back(url); });
        dialog->InitDialog();
        dialog->Show();
        Pump(0.05);
        return dialog;
    }

    static std::string Rows(CFavoritesDialog &dialog) {
        std::string text;
        for (long row = 0; row < dialog.GetList()->GetItemCount(); ++row)
            text += dialog.GetList()->GetItemText(row).ToStdString();
        return text;
    }

    static void Select(CFavoritesDialog &dialog, std::vector<long> rows) {
        wxListCtrl *list = dialog.GetList();
        for (long row = 0; row < list->GetItemCount(); ++row)
            list->SetItemState(row, 0, wxLIST_STATE_SELECTED);
        for (long row : rows)
            list->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        dialog.UpdateButtons();
    }

    static void Click(wxWindow &dialog, int id) {
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(dialog.FindWindow(id));
        dialog.FindWindow(id)->GetEventHandler()->ProcessEvent(event);
    }

    // Remove, Browse To, Move Top, Move Up, Move Down, Move Bottom as R B T U D M, or '-' when disabled.
    static std::string Enabled(CFavoritesDialog &dialog) {
        const int ids[] = {CFavoritesDialog::IDC_REMOVE,    CFavoritesDialog::IDC_BROWSE_TO,
                           CFavoritesDialog::IDC_MOVE_TOP,  CFavoritesDialog::IDC_MOVE_UP,
                           CFavoritesDialog::IDC_MOVE_DOWN, CFavoritesDialog::IDC_MOVE_BOTTOM};
        std::string text;
        for (int i = 0; i < 6; ++i)
            text += dialog.FindWindow(ids[i])->IsEnabled() ? "RBTUDM"[i] : '-';
        return text;
    }

    std::string m_file;
    std::unique_ptr<FavoritesList> m_list;
    platform::MemorySettings m_settings;
    ScopedHook<platform::SetAppSettings> m_settingsHook{&m_settings};
    std::vector<std::u16string> m_navigated;
};

} // namespace

TEST_F(FavoritesDialogTest, SelectMoveBrowseRemoveCancelThenOkSavesFirstAndEnterIsOk) {
    auto dialog = Open();
    const struct {
        std::vector<long> rows;
        const char *enabled;
    } cases[] = {{{}, "------"}, {{0}, "RB--DM"}, {{4}, "RBTU--"}, {{1, 3}, "R-TUDM"}, {{0, 4}, "R-----"}};
    for (const auto &c : cases) {
        Select(*dialog, c.rows);
        EXPECT_EQ(Enabled(*dialog), c.enabled) << c.enabled;
    }
    auto noView = Open(false);
    Select(*noView, {2});
    EXPECT_EQ(Enabled(*noView), "R-TUDM");

    // The program's list is untouched until OK.
    const struct {
        std::vector<long> rows;
        int button;
        const char *after;
        const char *enabled; // the moved rows stay selected
    } moves[] = {{{2, 4}, CFavoritesDialog::IDC_MOVE_TOP, "CEABD", "R---DM"},
                 {{3, 4}, CFavoritesDialog::IDC_MOVE_UP, "CEBDA", "R-TUDM"},
                 {{2, 3}, CFavoritesDialog::IDC_MOVE_BOTTOM, "CEABD", "R-TU--"},
                 {{0, 2}, CFavoritesDialog::IDC_MOVE_DOWN, "ECBAD", "R-TUDM"}};
    for (const auto &move : moves) {
        Select(*dialog, move.rows);
        Click(*dialog, move.button);
        EXPECT_EQ(Rows(*dialog), move.after);
        EXPECT_EQ(Enabled(*dialog), move.enabled) << move.after;
    }

    // Browse To and a double-click open the row's favorite and leave the dialog open.
    Select(*dialog, {3});
    Click(*dialog, CFavoritesDialog::IDC_BROWSE_TO);
    wxListEvent activated(wxEVT_LIST_ITEM_ACTIVATED, CFavoritesDialog::IDC_FAVORITES_LIST);
    activated.m_itemIndex = 1;
    activated.SetEventObject(dialog->GetList());
    dialog->GetList()->GetEventHandler()->ProcessEvent(activated);
    EXPECT_EQ(m_navigated, (std::vector<std::u16string>{u"A", u"C"}));
    EXPECT_TRUE(dialog->IsShown());

    // Removed rows come back after Cancel.
    Select(*dialog, {0, 4});
    Click(*dialog, CFavoritesDialog::IDC_REMOVE);
    EXPECT_EQ(Rows(*dialog), "CBA");
    dialog->Close();
    EXPECT_EQ(ReadFile(m_file), "A\r\nB\r\nC\r\nD\r\nE\r\n");

    dialog = Open();
    Select(*dialog, {1, 3});
    Click(*dialog, CFavoritesDialog::IDC_REMOVE);
    // The file's place is taken, so the save fails: the dialog stays open with the user's order to try again, and
    // the program's list is still what the file holds.
    std::filesystem::remove(m_file);
    std::filesystem::create_directory(m_file);
    {
        ScopedHook<platform::SetErrorSink> sink([](const std::u16string &) {});
        Click(*dialog, wxID_OK);
    }
    EXPECT_TRUE(dialog->IsShown());
    EXPECT_EQ(Rows(*dialog), "ACE");
    EXPECT_EQ(m_list->Favorites().size(), 5u);

    // Enter on a row is the default button's: OK takes the order and closes the dialog, opening nothing.
    std::filesystem::remove(m_file);
    wxKeyEvent enter(wxEVT_CHAR_HOOK);
    enter.m_keyCode = WXK_RETURN;
    enter.SetEventObject(dialog->GetList()->GetRowsWindow());
    dialog->GetList()->GetRowsWindow()->GetEventHandler()->ProcessEvent(enter);
    EXPECT_EQ(m_navigated.size(), 2u);
    EXPECT_FALSE(dialog->IsShown());
    EXPECT_EQ(m_list->Favorites(), (std::vector<std::u16string>{u"A", u"C", u"E"}));
    EXPECT_EQ(ReadFile(m_file), "A\r\nC\r\nE\r\n");
}

TEST_F(FavoritesDialogTest, ResizingDownToTheMinimumAndReopeningWhereItClosed) {
    auto dialog = Open();
    EXPECT_FALSE(dialog->HasFlag(wxMAXIMIZE_BOX));
    const wxSize start = dialog->GetClientSize();
    ASSERT_EQ(dialog->GetChildren().size(), 11u); // the note, the list, eight buttons and the grip
    // The column is sized to the list once, when the dialog opens, and keeps its width whatever the size.
    const int column = dialog->GetList()->GetColumnWidth(0);
    EXPECT_GT(column, dialog->GetList()->GetClientSize().x / 2);
    for (const wxSize change : {wxSize(-3, -10), wxSize(60, 20)}) {
        dialog->SetClientSize(start + change);
        ASSERT_TRUE(RunUntil([&] { return dialog->GetClientSize() == start + change; }, 2));
        Pump(0.05);
        EXPECT_EQ(dialog->GetList()->GetColumnWidth(0), column) << change.x;
    }

    // Dragging the grip resizes the dialog, down to its minimum and no further; the toolkit has no complaint about
    // the list at that size.
    testing::internal::CaptureStderr();
    wxWindow *grip = dialog->FindWindow(CSizeBox::IDC_SIZEBOX);
    const wxSize dragStart = dialog->GetSize();
    auto mouse = [grip](wxEventType type, int x, int y) {
        wxMouseEvent event(type);
        event.SetPosition(wxPoint(x, y));
        event.m_leftDown = type != wxEVT_LEFT_UP;
        event.SetEventObject(grip);
        grip->GetEventHandler()->ProcessEvent(event);
    };
    mouse(wxEVT_LEFT_DOWN, 2, 2);
    mouse(wxEVT_MOTION, 32, 22);
    EXPECT_TRUE(RunUntil([&] { return dialog->GetSize() == dragStart + wxSize(30, 20); }, 2));
    mouse(wxEVT_MOTION, -2000, -2000);
    const wxSize min = dialog->GetMinSize();
    EXPECT_TRUE(RunUntil([&] { return dialog->GetSize() == min; }, 2));
    mouse(wxEVT_LEFT_UP, -2000, -2000);
    ASSERT_LT(min.x, dragStart.x);
    ASSERT_LT(min.y, dragStart.y);
    // At the minimum every control is inside the dialog, not empty and clear of the others.
    Pump(0.05);
    std::vector<wxRect> rects;
    for (wxWindow *child : dialog->GetChildren()) {
        const wxRect r = child->GetRect();
        EXPECT_TRUE(wxRect(dialog->GetClientSize()).Contains(r) && !r.IsEmpty()) << child->GetId();
        for (const wxRect &other : rects)
            EXPECT_FALSE(r.Intersects(other)) << child->GetId();
        rects.push_back(r);
    }
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors.find("CRITICAL"), std::string::npos) << errors;

    // Closed elsewhere, it opens there again, laid out for that size.
    dialog->SetSize(137, 111, start.x + 50, start.y + 30);
    ASSERT_TRUE(RunUntil([&] { return dialog->GetPosition() == wxPoint(137, 111); }, 2));
    Pump(0.05);
    const wxRect closedAt = dialog->GetRect();
    dialog->Close();
    EXPECT_EQ(m_settings.GetString("FavoritesDialog", "Type", ""), "1");
    dialog = Open();
    EXPECT_EQ(dialog->GetRect(), closedAt);
    EXPECT_EQ(dialog->FindWindow(CSizeBox::IDC_SIZEBOX)->GetRect().GetBottomRight() + wxPoint(1, 1),
              wxPoint(dialog->GetClientSize().x, dialog->GetClientSize().y)); // laid out for the restored size

    // A row whose address is cut has the whole address as its tip; a row shown whole has none.
    const std::string longUrl = "http://results.example/" + std::string(200, 'x') + ".htm";
    WriteFile(m_file, "A\r\n" + longUrl + "\r\n");
    ASSERT_TRUE(m_list->LoadFavorites());
    auto tipped = Open();
    wxWindow *rows = tipped->GetList()->GetRowsWindow();
    for (long row : {1L, 0L}) {
        wxRect rect;
        tipped->GetList()->GetItemRect(row, rect);
        wxMouseEvent motion(wxEVT_MOTION);
        motion.SetPosition(rect.GetPosition() + wxPoint(5, rect.height / 2));
        motion.SetEventObject(rows);
        rows->GetEventHandler()->ProcessEvent(motion);
        EXPECT_EQ(rows->GetToolTipText(), row == 1 ? wxString(longUrl) : wxString()) << row;
    }
}

TEST_F(FavoritesDialogTest, LinesThatAreNotUtf8ShowAndOkWritesEveryLineKeptAsItWasRead) {
    WriteFile(m_file, "A\r\nB\xE9\r\nC\xFF\xFE\r\n");
    ASSERT_TRUE(m_list->LoadFavorites());
    auto dialog = Open();
    EXPECT_EQ(FromWx(dialog->GetList()->GetItemText(1)), u"B\uFFFD");
    EXPECT_EQ(FromWx(dialog->GetList()->GetItemText(2)), u"C\uFFFD\uFFFD");
    Select(*dialog, {2});
    Click(*dialog, CFavoritesDialog::IDC_MOVE_TOP);
    Select(*dialog, {2});
    Click(*dialog, CFavoritesDialog::IDC_REMOVE);
    Click(*dialog, wxID_OK);
    EXPECT_FALSE(dialog->IsShown());
    EXPECT_EQ(ReadFile(m_file), "C\xFF\xFE\r\nA\r\n");
}

TEST_F(FavoritesDialogTest, EmptiedPopupBringsBackThePlaceholdersOwnText) {
    wxMenu menu;
    menu.AppendCheckItem(ID_FAVORITE_FIRST, ToWx(FAVORITES_PLACEHOLDER_TEXT), ToWx(FAVORITE_PROMPT));
    EXPECT_TRUE(SetFavoritesMenuItems(&menu, {u"http://host/a.htm", u"http://host/b.htm"}));
    menu.Check(ID_FAVORITE_FIRST, true);
    EXPECT_TRUE(SetFavoritesMenuItems(&menu, {}));
    ASSERT_EQ(menu.GetMenuItemCount(), 1u);
    wxMenuItem *placeholder = menu.FindItem(ID_FAVORITE_FIRST);
    EXPECT_EQ(placeholder->GetItemLabelText(), "Top Favorites");
    EXPECT_FALSE(placeholder->IsEnabled() || placeholder->IsChecked());
}

TEST_F(FavoritesDialogTest, AboutBoxShowsVersionAndNoticeAndItsLinkOpensTheMakersPageQuietly) {
    DialogCount dialogs;
    dialogs.Register();

    CAboutDlg dialog(nullptr);
    wxWindow *version = dialog.FindWindow(CAboutDlg::IDC_VERSION);
    EXPECT_EQ(FromWx(version->GetLabel()), platform::Utf8ToUtf16(EXPECTED_VERSION_LINE));
    // Both texts fit their controls whatever the system's font.
    for (int id : {CAboutDlg::IDC_VERSION, CAboutDlg::IDC_LEGAL_NOTICE}) {
        wxWindow *text = dialog.FindWindow(id);
        EXPECT_LE(text->GetTextExtent(text->GetLabel()).x, text->GetSize().x) << id;
        EXPECT_LE(text->GetRect().GetRight(), dialog.GetClientSize().x) << id;
    }

    dialog.Show();
    auto *link = dynamic_cast<wxHyperlinkCtrl *>(dialog.FindWindow(CAboutDlg::IDC_WEBSITE_LINK));
    ASSERT_NE(link, nullptr);
    // As the dialog draws itself, the link's text starts where the lines above it start.
    Pump(0.5);
    const DrawnWindow drawn(dialog);
    auto textLeft = [&drawn](wxWindow *control) {
        wxRect area = control->GetRect();
        for (int x = area.x; x < area.GetRight(); ++x)
            for (int y = area.y; y < area.GetBottom(); ++y) {
                const unsigned char *pixel = drawn.Pixel(x, y);
                if (pixel[0] + pixel[1] + pixel[2] < 450)
                    return x;
            }
        return -1;
    };
    EXPECT_NE(textLeft(version), -1);
    EXPECT_NEAR(textLeft(link), textLeft(version), 1);

    // The click opens the page in the background: with an opener that fails, nothing is shown; the dialog stays
    // open and Enter means its OK button again.
    const std::string path = getenv("PATH");
    std::filesystem::create_directories(m_home + "/bin");
    setenv("PATH", (m_home + "/bin").c_str(), 1);
    link->SetFocus();
    wxHyperlinkEvent click(link, link->GetId(), link->GetURL());
    WriteFile(m_home + "/bin/xdg-open", "#!/bin/sh\necho \"$@\" > \"$HOME/opened.part\"\n/bin/mv \"$HOME/opened.part\" "
                                        "\"$HOME/opened\"\nexit 4\n");
    std::filesystem::permissions(m_home + "/bin/xdg-open", std::filesystem::perms::owner_all);
    link->GetEventHandler()->ProcessEvent(click);
    EXPECT_TRUE(RunUntil([&] { return std::filesystem::exists(m_home + "/opened"); }, 10));
    EXPECT_EQ(ReadFile(m_home + "/opened"), "https://www.greenbaize.example/dealscope\n");
    Pump(0.5);
    EXPECT_EQ(dialogs.count, 0);
    EXPECT_TRUE(dialog.IsShown());
    EXPECT_EQ(gtk_window_get_focus(GTK_WINDOW(dialog.GetHandle())), dialog.FindWindow(wxID_OK)->GetHandle());
    setenv("PATH", path.c_str(), 1);
}
