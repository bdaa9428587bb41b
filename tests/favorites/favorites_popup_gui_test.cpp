#include <gtest/gtest.h>

#include <wx/menu.h>

#include "app/favorites_menu.h"
#include "app/window/favorites_popup.h"
#include "app/window/wx_text.h"
#include "platform/wide_text.h"

namespace {

// The popup as the page window's menu holds it.
std::unique_ptr<wxMenu> MakePopup() {
    auto menu = std::make_unique<wxMenu>();
    menu->Append(ID_ADD_TO_FAVORITES, ToWx(ADD_TO_FAVORITES_TEXT));
    menu->Append(ID_FAVORITES, ToWx(FAVORITES_TEXT));
    menu->AppendSeparator();
    menu->AppendCheckItem(ID_FAVORITE_FIRST, ToWx(FAVORITES_PLACEHOLDER_TEXT), ToWx(FAVORITE_PROMPT));
    return menu;
}

std::vector<std::u16string> Numbered(int count) {
    std::vector<std::u16string> favorites;
    for (int i = 0; i < count; ++i)
        favorites.push_back(u"http://host/page" + platform::WidenAscii(std::to_string(i)) + u".htm");
    return favorites;
}

} // namespace

TEST(FavoritesPopup, ListsFirst32AndMarksTheCurrentPage) {
    auto menu = MakePopup();
    const auto favorites = Numbered(40);
    for (int pass = 0; pass < 2; ++pass) { // opening the popup again shows the same items, not more
        RebuildFavoritesMenu(menu.get(), favorites, u"HTTP://HOST/PAGE5.HTM", true);
        ASSERT_EQ(menu->GetMenuItemCount(), 3u + 32u);
        for (int i = 0; i < 32; ++i) {
            wxMenuItem *item = menu->FindItemByPosition(3 + static_cast<size_t>(i));
            EXPECT_EQ(item->GetId(), ID_FAVORITE_FIRST + i);
            EXPECT_EQ(FromWx(item->GetItemLabelText()), favorites[static_cast<size_t>(i)]);
            EXPECT_TRUE(item->IsEnabled());
            EXPECT_EQ(item->IsChecked(), i == 5) << i;
        }
    }
    RebuildFavoritesMenu(menu.get(), favorites, u"http://elsewhere/", false);
    for (int i = 0; i < 32; ++i) {
        EXPECT_FALSE(menu->FindItemByPosition(3 + static_cast<size_t>(i))->IsChecked());
        EXPECT_FALSE(menu->FindItemByPosition(3 + static_cast<size_t>(i))->IsEnabled());
    }
}

TEST(FavoritesPopup, AddressesWithAmpersandsShowAsThemselves) {
    auto menu = MakePopup();
    const std::vector<std::u16string> favorites = {u"http://x/?a=1&b=2", u"http://y/R&D_results.htm"};
    const auto state = RebuildFavoritesMenu(menu.get(), favorites, u"http://x/?a=1&b=2", true);
    EXPECT_TRUE(state.enabled && state.checked);
    EXPECT_EQ(FromWx(menu->FindItem(ID_FAVORITE_FIRST)->GetItemLabelText()), favorites[0]);
    EXPECT_EQ(FromWx(menu->FindItem(ID_FAVORITE_FIRST + 1)->GetItemLabelText()), favorites[1]);
}

TEST(FavoritesPopup, EmptyListShowsOnlyThePlaceholderDisabled) {
    auto menu = MakePopup();
    RebuildFavoritesMenu(menu.get(), {}, u"", true);
    ASSERT_EQ(menu->GetMenuItemCount(), 4u);
    EXPECT_EQ(menu->FindItem(ID_FAVORITE_FIRST)->GetItemLabelText(), "Top Favorites");
    EXPECT_FALSE(menu->FindItem(ID_FAVORITE_FIRST)->IsEnabled());

    // After favorites were shown, the emptied list brings back the placeholder's own text, not an address, and
    // the other items go at once.
    RebuildFavoritesMenu(menu.get(), Numbered(3), u"http://host/page0.htm", true);
    EXPECT_EQ(menu->GetMenuItemCount(), 6u);
    const auto state = RebuildFavoritesMenu(menu.get(), {}, u"http://host/page0.htm", true);
    EXPECT_FALSE(state.enabled || state.checked);
    ASSERT_EQ(menu->GetMenuItemCount(), 4u);
    wxMenuItem *placeholder = menu->FindItem(ID_FAVORITE_FIRST);
    EXPECT_EQ(placeholder->GetItemLabelText(), "Top Favorites");
    EXPECT_FALSE(placeholder->IsEnabled());
    EXPECT_FALSE(placeholder->IsChecked());
}
