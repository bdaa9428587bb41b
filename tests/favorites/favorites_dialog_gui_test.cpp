#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <unistd.h>

#include <wx/button.h>
#include <wx/stattext.h>

#include "app/favorites.h"
#include "app/window/favorites_dialog.h"
#include "app/window/size_box_window.h"
#include "app/window/wx_text.h"
#include "gui_pump.h"
#include "platform/settings.h"
#include "test_sink.h"

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FavoritesDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/dealscope-favdlg-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        m_file = m_dir / "DealscopeFavorites.txt";
        std::ofstream(m_file, std::ios::binary) << "A\r\nB\r\nC\r\nD\r\nE\r\n";
        m_list = std::make_unique<FavoritesList>(m_file.string());
        ASSERT_TRUE(m_list->LoadFavorites());
        platform::SetAppSettings(&m_settings);
    }
    void TearDown() override {
        platform::SetAppSettings(nullptr);
        fs::remove_all(m_dir);
    }

    // A dialog set up as the Favorites command sets it up, shown modeless so the test can drive it.
    std::unique_ptr<CFavoritesDialog> Open(bool withView = true) {
        auto dialog = std::make_unique<CFavoritesDialog>(nullptr, *m_list);
        if (withView)
            dialog->SetNavigator([this](const std::u16string &url) { m_navigated.push_back(url); });
        dialog->InitDialog();
        dialog->Show();
        Pump();
        return dialog;
    }

    static std::string Rows(CFavoritesDialog &dialog) {
        std::string text;
        for (long row = 0; row < dialog.GetList()->GetItemCount(); ++row)
            text += dialog.GetList()->GetItemText(row).ToStdString();
        return text;
    }

    static void Select(CFavoritesDialog &dialog, std::initializer_list<long> rows) {
        wxListCtrl *list = dialog.GetList();
        for (long row = 0; row < list->GetItemCount(); ++row)
            list->SetItemState(row, 0, wxLIST_STATE_SELECTED);
        for (long row : rows)
            list->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        dialog.UpdateButtons();
    }

    static std::vector<long> Selected(CFavoritesDialog &dialog) {
        std::vector<long> rows;
        for (long row = -1; (row = dialog.GetList()->GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) != -1;)
            rows.push_back(row);
        return rows;
    }

    static void Click(CFavoritesDialog &dialog, int id) {
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(dialog.FindWindow(id));
        dialog.FindWindow(id)->GetEventHandler()->ProcessEvent(event);
    }

    static std::string Enabled(CFavoritesDialog &dialog) {
        // Remove, Browse To, Move Top, Move Up, Move Down, Move Bottom as R B T U D M, or '-' when disabled.
        const int ids[] = {CFavoritesDialog::IDC_REMOVE,    CFavoritesDialog::IDC_BROWSE_TO,
                           CFavoritesDialog::IDC_MOVE_TOP,  CFavoritesDialog::IDC_MOVE_UP,
                           CFavoritesDialog::IDC_MOVE_DOWN, CFavoritesDialog::IDC_MOVE_BOTTOM};
        const char marks[] = "RBTUDM";
        std::string text;
        for (int i = 0; i < 6; ++i)
            text += dialog.FindWindow(ids[i])->IsEnabled() ? marks[i] : '-';
        return text;
    }

    static wxRect RectOf(CFavoritesDialog &dialog, int id) { return dialog.FindWindow(id)->GetRect(); }
    static wxRect Shift(wxRect r, int dx, int dy) {
        r.Offset(dx, dy);
        return r;
    }
    static wxRect Grow(wxRect r, int dw, int dh) { return {r.x, r.y, r.width + dw, r.height + dh}; }

    fs::path m_dir;
    fs::path m_file;
    std::unique_ptr<FavoritesList> m_list;
    platform::MemorySettings m_settings;
    std::vector<std::u16string> m_navigated;
};

} // namespace

TEST_F(FavoritesDialogTest, ButtonsEnableFromSelection) {
    auto dialog = Open();
    EXPECT_EQ(Rows(*dialog), "ABCDE");
    EXPECT_EQ(Enabled(*dialog), "------");
    Select(*dialog, {0});
    EXPECT_EQ(Enabled(*dialog), "RB--DM");
    Select(*dialog, {4});
    EXPECT_EQ(Enabled(*dialog), "RBTU--");
    Select(*dialog, {1, 3});
    EXPECT_EQ(Enabled(*dialog), "R-TUDM");
    Select(*dialog, {0, 4});
    EXPECT_EQ(Enabled(*dialog), "R-----");

    auto noView = Open(false);
    Select(*noView, {2});
    EXPECT_EQ(Enabled(*noView), "R-TUDM");
}

TEST_F(FavoritesDialogTest, MovesReorderAndKeepMovedRowsSelected) {
    auto dialog = Open();
    Select(*dialog, {2, 4});
    Click(*dialog, CFavoritesDialog::IDC_MOVE_TOP);
    EXPECT_EQ(Rows(*dialog), "CEABD");
    EXPECT_EQ(Selected(*dialog), (std::vector<long>{0, 1}));
    EXPECT_EQ(Enabled(*dialog), "R---DM");

    Select(*dialog, {3, 4});
    Click(*dialog, CFavoritesDialog::IDC_MOVE_UP);
    EXPECT_EQ(Rows(*dialog), "CEBDA");
    Click(*dialog, CFavoritesDialog::IDC_MOVE_BOTTOM);
    EXPECT_EQ(Rows(*dialog), "CEABD");
    EXPECT_EQ(Selected(*dialog), (std::vector<long>{3, 4}));
    Select(*dialog, {0, 2});
    Click(*dialog, CFavoritesDialog::IDC_MOVE_DOWN);
    EXPECT_EQ(Rows(*dialog), "ECBAD");
    // The program's list is untouched until OK.
    EXPECT_EQ(m_list->Favorites().front(), u"A");
}

TEST_F(FavoritesDialogTest, OkSavesTheNewListCancelKeepsTheOld) {
    {
        auto dialog = Open();
        Select(*dialog, {1, 3});
        Click(*dialog, CFavoritesDialog::IDC_REMOVE);
        EXPECT_EQ(Rows(*dialog), "ACE");
        dialog->Close(); // Cancel
    }
    EXPECT_EQ(m_list->Favorites().size(), 5u);
    EXPECT_EQ(ReadBytes(m_file), "A\r\nB\r\nC\r\nD\r\nE\r\n");

    auto dialog = Open();
    Select(*dialog, {1, 3});
    Click(*dialog, CFavoritesDialog::IDC_REMOVE);
    Select(*dialog, {2});
    Click(*dialog, CFavoritesDialog::IDC_MOVE_TOP);
    Click(*dialog, wxID_OK);
    EXPECT_FALSE(dialog->IsShown());
    EXPECT_EQ(m_list->Favorites(), (std::vector<std::u16string>{u"E", u"A", u"C"}));
    EXPECT_EQ(ReadBytes(m_file), "E\r\nA\r\nC\r\n");
}

TEST_F(FavoritesDialogTest, FailedSaveKeepsListAndDialogOpen) {
    auto dialog = Open();
    Select(*dialog, {0});
    Click(*dialog, CFavoritesDialog::IDC_MOVE_BOTTOM);
    fs::remove(m_file);
    fs::create_directory(m_file); // the file's place is taken: the save must fail
    CapturedErrors errors;
    Click(*dialog, wxID_OK);
    EXPECT_EQ(errors.Messages().size(), 1u);
    EXPECT_TRUE(dialog->IsShown());
    EXPECT_EQ(Rows(*dialog), "BCDEA");            // the user's order, to try again
    EXPECT_EQ(m_list->Favorites().front(), u"A"); // still what the file held
    fs::remove(m_file);
    Click(*dialog, wxID_OK);
    EXPECT_FALSE(dialog->IsShown());
    EXPECT_EQ(ReadBytes(m_file), "B\r\nC\r\nD\r\nE\r\nA\r\n");
}

TEST_F(FavoritesDialogTest, BrowseToAndDoubleClickOpenTheFavoriteAndStayOpen) {
    auto dialog = Open();
    Select(*dialog, {3});
    Click(*dialog, CFavoritesDialog::IDC_BROWSE_TO);
    ASSERT_EQ(m_navigated.size(), 1u);
    EXPECT_EQ(m_navigated[0], u"D");
    EXPECT_TRUE(dialog->IsShown());
    EXPECT_EQ(Selected(*dialog), (std::vector<long>{3}));

    wxListEvent activated(wxEVT_LIST_ITEM_ACTIVATED, CFavoritesDialog::IDC_FAVORITES_LIST);
    activated.m_itemIndex = 1;
    activated.SetEventObject(dialog->GetList());
    dialog->GetList()->GetEventHandler()->ProcessEvent(activated);
    ASSERT_EQ(m_navigated.size(), 2u);
    EXPECT_EQ(m_navigated[1], u"B");
}

TEST_F(FavoritesDialogTest, EmptyListDisablesEverythingAndOkSavesEmpty) {
    std::ofstream(m_file, std::ios::binary | std::ios::trunc) << "";
    ASSERT_TRUE(m_list->LoadFavorites());
    auto dialog = Open();
    EXPECT_EQ(dialog->GetList()->GetItemCount(), 0);
    EXPECT_EQ(Enabled(*dialog), "------");
    Click(*dialog, wxID_OK);
    EXPECT_TRUE(fs::exists(m_file));
    EXPECT_EQ(ReadBytes(m_file), "");
}

TEST_F(FavoritesDialogTest, ResizingMovesAndStretchesControls) {
    auto dialog = Open();
    const wxSize start = dialog->GetClientSize();
    const int ids[] = {CFavoritesDialog::IDC_REMOVE,
                       CFavoritesDialog::IDC_BROWSE_TO,
                       CFavoritesDialog::IDC_MOVE_TOP,
                       CFavoritesDialog::IDC_MOVE_UP,
                       CFavoritesDialog::IDC_MOVE_DOWN,
                       CFavoritesDialog::IDC_MOVE_BOTTOM,
                       wxID_OK,
                       wxID_CANCEL};
    std::map<int, wxRect> before;
    for (int id : ids)
        before[id] = RectOf(*dialog, id);
    const wxRect note = RectOf(*dialog, CFavoritesDialog::IDC_FAVORITES_NOTE);
    const wxRect list = RectOf(*dialog, CFavoritesDialog::IDC_FAVORITES_LIST);
    const wxRect grip = RectOf(*dialog, CSizeBox::IDC_SIZEBOX);
    EXPECT_EQ(grip.GetRight() + 1, start.x);
    EXPECT_EQ(grip.GetBottom() + 1, start.y);

    dialog->SetClientSize(start + wxSize(41, 0));
    ASSERT_TRUE(PumpUntil([&] { return dialog->GetClientSize() == start + wxSize(41, 0); }));
    Pump();
    for (int id : ids)
        EXPECT_EQ(RectOf(*dialog, id), Shift(before[id], 20, 0)) << id;
    EXPECT_EQ(RectOf(*dialog, CFavoritesDialog::IDC_FAVORITES_NOTE), Grow(note, 41, 0));
    EXPECT_EQ(RectOf(*dialog, CFavoritesDialog::IDC_FAVORITES_LIST), Grow(list, 41, 0));
    EXPECT_EQ(RectOf(*dialog, CSizeBox::IDC_SIZEBOX), Shift(grip, 41, 0));

    dialog->SetClientSize(start + wxSize(-3, -10));
    ASSERT_TRUE(PumpUntil([&] { return dialog->GetClientSize() == start + wxSize(-3, -10); }));
    Pump();
    for (int id : ids)
        EXPECT_EQ(RectOf(*dialog, id), Shift(before[id], -1, -10)) << id;
    EXPECT_EQ(RectOf(*dialog, CFavoritesDialog::IDC_FAVORITES_LIST), Grow(list, -3, -10));
    EXPECT_EQ(RectOf(*dialog, CSizeBox::IDC_SIZEBOX), Shift(grip, -3, -10));
}

TEST_F(FavoritesDialogTest, DraggingTheGripResizesDownToTheMinimum) {
    auto dialog = Open();
    wxWindow *grip = dialog->FindWindow(CSizeBox::IDC_SIZEBOX);
    ASSERT_NE(grip, nullptr);
    const wxSize start = dialog->GetSize();
    auto mouse = [grip](wxEventType type, int x, int y) {
        wxMouseEvent event(type);
        event.SetPosition(wxPoint(x, y));
        event.m_leftDown = type != wxEVT_LEFT_UP;
        event.SetEventObject(grip);
        grip->GetEventHandler()->ProcessEvent(event);
    };
    mouse(wxEVT_LEFT_DOWN, 2, 2);
    mouse(wxEVT_MOTION, 32, 22);
    EXPECT_TRUE(PumpUntil([&] { return dialog->GetSize() == start + wxSize(30, 20); }));
    mouse(wxEVT_MOTION, -2000, -2000);
    EXPECT_TRUE(PumpUntil([&] { return dialog->GetSize() == dialog->GetMinSize(); }));
    mouse(wxEVT_LEFT_UP, -2000, -2000);
    EXPECT_FALSE(grip->HasCapture());
    // The grip followed the corner.
    const wxRect rect = grip->GetRect();
    EXPECT_EQ(rect.GetRight() + 1, dialog->GetClientSize().x);
    EXPECT_EQ(rect.GetBottom() + 1, dialog->GetClientSize().y);
}

TEST_F(FavoritesDialogTest, MinimumSizeKeepsEveryControlInsideAndApart) {
    auto dialog = Open();
    const wxSize min = dialog->GetMinSize();
    const wxSize frame = dialog->GetSize() - dialog->GetClientSize();
    ASSERT_LT(min.x, dialog->GetSize().x);
    ASSERT_LT(min.y, dialog->GetSize().y);
    const wxSize client = min - frame;
    dialog->SetClientSize(client);
    ASSERT_TRUE(PumpUntil([&] { return dialog->GetClientSize() == client; }));
    Pump();
    std::vector<wxRect> rects;
    for (wxWindow *child : dialog->GetChildren()) {
        const wxRect r = child->GetRect();
        EXPECT_GE(r.x, 0);
        EXPECT_GE(r.y, 0);
        EXPECT_LE(r.GetRight() + 1, client.x);
        EXPECT_LE(r.GetBottom() + 1, client.y);
        EXPECT_GT(r.width, 0);
        EXPECT_GT(r.height, 0);
        for (const wxRect &other : rects)
            EXPECT_FALSE(r.Intersects(other)) << child->GetId();
        rects.push_back(r);
    }
    // Asking for less gives the minimum.
    dialog->SetSize(min - wxSize(5, 5));
    Pump();
    EXPECT_EQ(dialog->GetSize(), min);
}

TEST_F(FavoritesDialogTest, PlacementSurvivesClosingAndReopening) {
    wxRect closedAt;
    {
        auto dialog = Open();
        dialog->SetSize(137, 111, dialog->GetSize().x + 50, dialog->GetSize().y + 30);
        ASSERT_TRUE(PumpUntil([&] { return dialog->GetPosition() == wxPoint(137, 111); }));
        Pump();
        closedAt = dialog->GetRect();
        dialog->Close();
    }
    EXPECT_EQ(m_settings.GetString("FavoritesDialog", "WindowRect", ""),
              std::to_string(closedAt.x) + ":" + std::to_string(closedAt.GetRight() + 1) + ":" +
                  std::to_string(closedAt.y) + ":" + std::to_string(closedAt.GetBottom() + 1));
    EXPECT_EQ(m_settings.GetString("FavoritesDialog", "Type", ""), "1");
    EXPECT_NE(m_settings.GetString("FavoritesDialog", "Width", ""), "");

    auto dialog = Open();
    EXPECT_EQ(dialog->GetRect(), closedAt);
    // Laid out for the restored size: the grip sits in the corner.
    const wxRect grip = RectOf(*dialog, CSizeBox::IDC_SIZEBOX);
    EXPECT_EQ(grip.GetRight() + 1, dialog->GetClientSize().x);
    EXPECT_EQ(grip.GetBottom() + 1, dialog->GetClientSize().y);
}

TEST_F(FavoritesDialogTest, SavedColumnWidthsApplyToAListWithColumns) {
    m_settings.SetString("Cols", "Width", "120,,80");
    m_settings.SetString("Cols", "Type", "1");
    wxDialog host(nullptr, wxID_ANY, "host");
    auto *list = new wxListCtrl(&host, 1, wxPoint(0, 0), wxSize(300, 100), wxLC_REPORT);
    list->InsertColumn(0, "a", wxLIST_FORMAT_LEFT, 10);
    list->InsertColumn(1, "b", wxLIST_FORMAT_LEFT, 10);
    const CSizeBox::StretchRow table[] = {{1, 0x22}, {0, 0}};
    SizeBoxWindow *grip = SizeBoxWindow::Attach(&host, "Cols", table);
    EXPECT_EQ(list->GetColumnWidth(0), 120);
    EXPECT_EQ(list->GetColumnWidth(1), 0);
    list->SetColumnWidth(1, 33);
    grip->SaveState();
    EXPECT_EQ(m_settings.GetString("Cols", "Width", ""), "120,33");
    EXPECT_EQ(m_settings.GetString("Cols", "Order", ""), "0,1");
}

TEST_F(FavoritesDialogTest, EmptySectionKeepsNothingButStillLaysOut) {
    wxDialog host(nullptr, wxID_ANY, "host", wxDefaultPosition, wxDefaultSize, wxCAPTION | wxRESIZE_BORDER);
    host.SetClientSize(300, 200);
    auto *list = new wxListCtrl(&host, 1, wxPoint(10, 10), wxSize(280, 150), wxLC_REPORT);
    list->InsertColumn(0, "a");
    const CSizeBox::StretchRow table[] = {{1, 0x22}, {0, 0}};
    m_settings.SetString("", "WindowRect", "1:500:2:400");
    SizeBoxWindow *grip = SizeBoxWindow::Attach(&host, "", table);
    EXPECT_LT(grip->GetMinTrackSize().x, host.GetSize().x);
    host.Show();
    host.SetClientSize(340, 220);
    ASSERT_TRUE(PumpUntil([&] { return host.GetClientSize() == wxSize(340, 220); }));
    Pump();
    EXPECT_EQ(list->GetRect(), wxRect(10, 10, 320, 170));
    host.Hide();
    EXPECT_EQ(m_settings.GetString("", "WindowRect", ""), "1:500:2:400");
    EXPECT_EQ(m_settings.GetString("", "Width", "absent"), "absent");
}
