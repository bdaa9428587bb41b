#include <gtest/gtest.h>

#include "app/dialog_state.h"
#include "platform/settings.h"

TEST(DialogStateWindowRect, TextIsLeftRightTopBottom) {
    EXPECT_EQ(FormatWindowRect({100, 50, 500, 400}), "100:500:50:400");
    EXPECT_EQ(FormatWindowRect({-8, -30, 20, 0}), "-8:20:-30:0");
    auto rect = ParseWindowRect("100:500:50:400");
    ASSERT_TRUE(rect);
    EXPECT_EQ(*rect, (SizeBoxRect{100, 50, 500, 400}));
    EXPECT_EQ(rect->Width(), 400);
    EXPECT_EQ(rect->Height(), 350);
    EXPECT_EQ(ParseWindowRect(" -1: +2:3:4 and more"), (SizeBoxRect{-1, 3, 2, 4}));
    EXPECT_FALSE(ParseWindowRect("1:2:3"));
    EXPECT_FALSE(ParseWindowRect("1,2,3,4"));
    EXPECT_FALSE(ParseWindowRect(""));
}

TEST(DialogStateWindowRect, KeptOnTheWorkArea) {
    const SizeBoxRect work{0, 0, 1280, 1000};
    EXPECT_EQ(KeepOnWorkArea({100, 50, 500, 400}, work), (SizeBoxRect{100, 50, 500, 400}));
    // 30 pixels beyond the right edge: back to 100 pixels inside it.
    EXPECT_EQ(KeepOnWorkArea({1310, 50, 1710, 400}, work), (SizeBoxRect{1180, 50, 1580, 400}));
    EXPECT_EQ(KeepOnWorkArea({100, -40, 500, 310}, work), (SizeBoxRect{100, 0, 500, 350}));
    EXPECT_EQ(KeepOnWorkArea({-900, 950, -500, 1300}, work), (SizeBoxRect{0, 900, 400, 1250}));
    // A work area narrower and lower than 100 pixels: the later rule wins.
    const SizeBoxRect tiny{10, 20, 60, 70};
    EXPECT_EQ(KeepOnWorkArea({500, 500, 600, 600}, tiny), (SizeBoxRect{10, -30, 110, 70}));
}

TEST(DialogStateColumns, ValuesJoinedByCommas) {
    EXPECT_EQ(FormatColumnValues({}), "");
    EXPECT_EQ(FormatColumnValues({120}), "120");
    EXPECT_EQ(FormatColumnValues({120, 0, -5}), "120,0,-5");
}

TEST(DialogStateColumns, WidthsAndOrdersReadSideBySide) {
    auto columns = ParseColumnSettings("120,,80", "");
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0].width, 120);
    EXPECT_EQ(columns[1].width, 0);
    EXPECT_EQ(columns[2].width, 80);
    EXPECT_FALSE(columns[0].order || columns[1].order || columns[2].order);

    columns = ParseColumnSettings("100", "1,0");
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].width, 100);
    EXPECT_EQ(columns[0].order, 1);
    EXPECT_FALSE(columns[1].width);
    EXPECT_EQ(columns[1].order, 0);

    // Numbers as wcstol with base 0 reads them; one separator character of any kind.
    columns = ParseColumnSettings("0x10;010 x7", "");
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_EQ(columns[0].width, 16);
    EXPECT_EQ(columns[1].width, 8);
    EXPECT_EQ(columns[2].width, 0); // "x" starts no number and is skipped as the separator
    EXPECT_EQ(columns[3].width, 7);
    EXPECT_TRUE(ParseColumnSettings("", "").empty());
}

TEST(DialogStateSettings, SectionHoldsRectColumnsAndType) {
    platform::MemorySettings settings;
    SaveWindowRect(settings, "FavoritesDialog", {100, 50, 500, 400});
    SaveListColumns(settings, "FavoritesDialog", {321}, {0}, 1);
    EXPECT_EQ(settings.GetString("FavoritesDialog", "WindowRect", ""), "100:500:50:400");
    EXPECT_EQ(settings.GetString("FavoritesDialog", "Width", ""), "321");
    EXPECT_EQ(settings.GetString("FavoritesDialog", "Order", ""), "0");
    EXPECT_EQ(settings.GetString("FavoritesDialog", "Type", ""), "1");
    EXPECT_EQ(LoadWindowRect(settings, "FavoritesDialog"), (SizeBoxRect{100, 50, 500, 400}));
    ListColumnsState state = LoadListColumns(settings, "FavoritesDialog");
    ASSERT_EQ(state.columns.size(), 1u);
    EXPECT_EQ(state.columns[0].width, 321);
    EXPECT_EQ(state.viewType, 1);

    // A list without columns stores empty texts.
    SaveListColumns(settings, "Other", {}, {}, 3);
    EXPECT_EQ(settings.GetString("Other", "Width", "absent"), "");
    EXPECT_EQ(settings.GetString("Other", "Order", "absent"), "");
    EXPECT_TRUE(LoadListColumns(settings, "Other").columns.empty());
    EXPECT_FALSE(LoadListColumns(settings, "Missing").viewType);
}
