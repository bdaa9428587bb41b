#include <climits>
#include <vector>

#include <gtest/gtest.h>

#include "app/work_area.h"

// A screen of 1600 x 1000 with a panel along its top, and a smaller one to its right.
TEST(WorkAreaTest, RectangleLyingOffTheScreensOrTooLargeComesInsideTheAreaItOverlapsMostOrTheNearest) {
    const std::vector<SizeBoxRect> screens{{0, 30, 1600, 1000}, {1600, 0, 2624, 768}};
    const struct {
        SizeBoxRect stored, kept;
    } cases[] = {
        {{130, 90, 1030, 690}, {130, 90, 1030, 690}},       // wholly inside: stays
        {{1700, 100, 2300, 600}, {1700, 100, 2300, 600}},   // wholly inside the second screen
        {{5000, 3000, 5900, 3600}, {1724, 168, 2624, 768}}, // far off: into the nearest corner, no further
        {{-2000, 200, -1100, 800}, {0, 200, 900, 800}},
        {{100, 0, 1000, 600}, {100, 30, 1000, 630}},        // under the panel: just below it
        {{1500, 100, 1900, 500}, {1600, 100, 2000, 500}},   // astride both: to the one it overlaps most
        {{-50, -50, 3000, 2000}, {0, 30, 1600, 1000}},      // larger than any screen: as large as the area
        {{1600, 900, 2000, 1100}, {1200, 800, 1600, 1000}}, // overlaps none: the nearest (first screen)
        {{INT_MAX - 10, INT_MAX - 10, INT_MAX, INT_MAX}, {1590, 990, 1600, 1000}}, // no overflow
        {{INT_MIN, INT_MIN, INT_MIN + 900, INT_MIN + 600}, {0, 30, 900, 630}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(KeepInsideWorkArea(c.stored, screens), c.kept) << c.stored.left << "," << c.stored.top;

    // No screens, or screens without room: nothing to bring it into.
    EXPECT_EQ(KeepInsideWorkArea({5000, 5000, 5100, 5100}, {}), (SizeBoxRect{5000, 5000, 5100, 5100}));
    const std::vector<SizeBoxRect> empty{{0, 0, 0, 1000}, {0, 0, 1600, 0}};
    EXPECT_EQ(KeepInsideWorkArea({5000, 5000, 5100, 5100}, empty), (SizeBoxRect{5000, 5000, 5100, 5100}));
}
