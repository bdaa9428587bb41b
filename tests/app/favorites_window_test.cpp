// The Favorites popup and commands in the real page window.
#include <wx/menu.h>

#include "app/favorites_menu.h"
#include "app/window/main_frame.h"
#include "app/window/page_document.h"
#include "app/window/wx_text.h"
#include "platform/wide_text.h"
#include "window_driver.h"

namespace {

class FavoritesWindowTest : public GuiTest {
protected:
    // Starts the window on a copy of a test page and waits until it shows it.
    bool StartOnPage() {
        m_page = CopyPage("layout_a.htm", "page.htm");
        return Start({m_page}) && WaitForPage(FileUri(m_page));
    }

    // The favorites file in the home (no Documents folder is configured there).
    std::string FavoritesPath() const { return m_home + "/DealscopeFavorites.txt"; }

    // The favorite items of the Favorites popup, opened as a click opens it; none when it was not drawn whole.
    static std::vector<wxMenuItem *> OpenFavoritesPopup() {
        std::vector<wxMenuItem *> items;
        if (!MenuOpensAtFullSize("Favorites"))
            return items;
        wxMenuBar *bar = g_pMainFrame->GetMenuBar();
        wxMenu *menu = bar->GetMenu(static_cast<size_t>(bar->FindMenu(ToWx(FAVORITES_MENU_TITLE))));
        for (wxMenuItem *item : menu->GetMenuItems())
            if (item->GetId() >= ID_FAVORITE_FIRST && item->GetId() <= ID_FAVORITE_LAST)
                items.push_back(item);
        return items;
    }

    std::string m_page;
};

} // namespace

TEST_F(FavoritesWindowTest, PopupListsFirst32MarksCurrentPageAndOpensThem) {
    const std::string other = platform::Utf16ToUtf8(FileUri(CopyPage("layout_a.htm", "other page.htm")));
    const std::string page = platform::Utf16ToUtf8(FileUri(m_home + "/page.htm"));
    // Addresses with '&' show as themselves.
    std::vector<std::string> entries;
    for (int i = 0; i < 40; ++i)
        entries.push_back("http://127.0.0.1:9/board" + std::to_string(i) + ".htm?a=1&b=2");
    entries[2] = page;
    entries[5] = page; // the later of two equal entries carries the mark
    entries[7] = other;
    std::string file;
    for (const std::string &entry : entries)
        file += entry + "\r\n";
    WriteFile(FavoritesPath(), file);

    ASSERT_TRUE(StartOnPage());
    EXPECT_FALSE(IsEnabled(ID_ADD_TO_FAVORITES)); // already listed
    for (int pass = 0; pass < 2; ++pass) {        // opening the popup again shows the same items, not more
        const std::vector<wxMenuItem *> items = OpenFavoritesPopup();
        ASSERT_EQ(items.size(), 32u);
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i]->GetItemLabelText().utf8_string(), entries[i]) << i;
            EXPECT_TRUE(items[i]->IsEnabled()) << i;
            EXPECT_EQ(items[i]->IsChecked(), i == 5) << i;
        }
    }

    // A new tab's popup is whole the first time it opens, with nothing marked.
    ASSERT_TRUE(Command(wxID_NEW));
    ASSERT_TRUE(RunUntil([] { return TabCount() == 2; }, 5));
    std::vector<wxMenuItem *> items = OpenFavoritesPopup();
    ASSERT_EQ(items.size(), 32u);
    EXPECT_FALSE(items[5]->IsChecked());
    g_pMainFrame->GetNotebook()->SetSelection(0);

    ASSERT_TRUE(Command(ID_FAVORITE_FIRST + 7));
    ASSERT_TRUE(WaitForPage(platform::Utf8ToUtf16(other)));
    EXPECT_TRUE(ActiveDocument()->Page().m_bConverted);
    items = OpenFavoritesPopup();
    EXPECT_TRUE(items[7]->IsChecked());
    EXPECT_FALSE(items[5]->IsChecked());
}

TEST_F(FavoritesWindowTest, AddToFavoritesWritesTheFileAndFillsThePopup) {
    ASSERT_TRUE(StartOnPage());
    std::vector<wxMenuItem *> items = OpenFavoritesPopup();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->GetItemLabelText(), "Top Favorites");
    EXPECT_FALSE(items[0]->IsEnabled());

    const std::string page = platform::Utf16ToUtf8(FileUri(m_page));
    ASSERT_TRUE(Command(ID_ADD_TO_FAVORITES));
    EXPECT_EQ(ReadFile(FavoritesPath()), page + "\r\n");
    EXPECT_FALSE(IsEnabled(ID_ADD_TO_FAVORITES));
    items = OpenFavoritesPopup();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->GetItemLabelText().utf8_string(), page);
    EXPECT_TRUE(items[0]->IsEnabled());
    EXPECT_TRUE(items[0]->IsChecked());
}

TEST_F(FavoritesWindowTest, UnreadableFavoritesFileIsReportedAndKept) {
    const std::string bytes = "http://caf\xE9.example/\r\n";
    WriteFile(FavoritesPath(), bytes);
    ASSERT_TRUE(StartOnPage());
    ASSERT_FALSE(m_prompts.messages.empty());
    EXPECT_NE(m_prompts.messages[0].text.find(platform::Utf8ToUtf16(FavoritesPath())), std::u16string::npos);
    ASSERT_TRUE(Command(ID_ADD_TO_FAVORITES));
    EXPECT_EQ(ReadFile(FavoritesPath()), bytes);
    EXPECT_EQ(m_prompts.messages.size(), 2u);
}
