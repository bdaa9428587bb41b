#include <algorithm>
#include <gtest/gtest.h>
#include <string>

#include "app/favorites_order.h"

namespace {

// Five favorites A..E; the rows given by letter are selected.
FavoritesOrder Select(const std::string &letters, int count = 5) {
    FavoritesOrder order(count);
    for (char c : letters)
        order.SetSelected(c - 'A', true);
    return order;
}

std::string Letters(const FavoritesOrder &order) {
    std::string text;
    for (int favorite : order.Order())
        text += static_cast<char>('A' + favorite);
    return text;
}

std::string SelectedLetters(const FavoritesOrder &order) {
    std::string text;
    for (int row : order.GetSelection())
        text += static_cast<char>('A' + order.FavoriteAt(row));
    return text;
}

} // namespace

TEST(FavoritesOrder, MovesKeepRelativeOrderAndSelection) {
    struct Case {
        const char *selected;
        int delta;
        const char *expected;
    } cases[] = {
        {"CE", FavoritesOrder::MOVE_TOP, "CEABD"},
        {"BC", FavoritesOrder::MOVE_BOTTOM, "ADEBC"},
        {"BD", 1, "ACBED"},
        {"BC", -1, "BCADE"},
        {"BD", -1, "BADCE"},
        {"AE", FavoritesOrder::MOVE_TOP, "AEBCD"},
        {"AE", FavoritesOrder::MOVE_BOTTOM, "BCDAE"},
        {"ABCDE", FavoritesOrder::MOVE_TOP, "ABCDE"},
        {"D", FavoritesOrder::MOVE_TOP, "DABCE"},
        {"B", FavoritesOrder::MOVE_BOTTOM, "ACDEB"},
    };
    for (const Case &c : cases) {
        FavoritesOrder order = Select(c.selected);
        order.MoveSelected(c.delta);
        EXPECT_EQ(Letters(order), c.expected) << c.selected << " by " << c.delta;
        std::string selected = SelectedLetters(order);
        std::sort(selected.begin(), selected.end());
        EXPECT_EQ(selected, c.selected) << c.selected << " by " << c.delta;
    }
}

TEST(FavoritesOrder, SelectionMarkFollowsItsRow) {
    FavoritesOrder order = Select("BD");
    order.SetMark(3);
    order.MoveSelected(FavoritesOrder::MOVE_TOP);
    EXPECT_EQ(Letters(order), "BDACE");
    EXPECT_EQ(order.Mark(), 1);
}

TEST(FavoritesOrder, RemoveDropsSelectedRowsOnly) {
    FavoritesOrder order = Select("BD");
    order.RemoveSelected();
    EXPECT_EQ(Letters(order), "ACE");
    EXPECT_TRUE(order.GetSelection().empty());
    // Equal texts are distinct rows: the list works on favorite indices.
    FavoritesOrder twins(3);
    twins.SetSelected(1, true);
    twins.MoveSelected(FavoritesOrder::MOVE_BOTTOM);
    EXPECT_EQ(twins.Order(), (std::vector<int>{0, 2, 1}));
}

TEST(FavoritesOrder, ButtonsEnableFromSelection) {
    auto states = GetFavoritesButtonStates({}, 0, true);
    EXPECT_FALSE(states.remove || states.browseTo || states.moveTop || states.moveUp || states.moveDown ||
                 states.moveBottom);
    states = GetFavoritesButtonStates({0}, 5, true);
    EXPECT_TRUE(states.remove && states.browseTo && states.moveDown && states.moveBottom);
    EXPECT_FALSE(states.moveTop || states.moveUp);
    states = GetFavoritesButtonStates({2, 4}, 5, true);
    EXPECT_TRUE(states.remove && states.moveTop && states.moveUp);
    EXPECT_FALSE(states.browseTo || states.moveDown || states.moveBottom);
    states = GetFavoritesButtonStates({1}, 5, false);
    EXPECT_FALSE(states.browseTo);
    EXPECT_TRUE(states.moveUp && states.moveDown);
}
