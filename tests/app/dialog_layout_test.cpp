#include <gtest/gtest.h>
#include <map>

#include "app/dialog_state.h"
#include "app/size_box.h"

namespace {

// Controls that stand where the last real layout put them, as a dialog's controls do.
struct FakeControls : ISizeBoxControls {
    bool GetControlRect(unsigned id, SizeBoxRect &rect) const override {
        return m_rects.count(id) ? (rect = m_rects.at(id), true) : false;
    }
    void Place(unsigned id, SizeBoxRect rect) { m_rects[id] = rect; }
    SizeBoxRect At(unsigned id) const { return m_rects.at(id); }
    std::map<unsigned, SizeBoxRect> m_rects;
};

void Resize(CSizeBox &box, FakeControls &controls, int cx, int cy) {
    box.LayoutTo(cx, cy);
    for (const auto &entry : box.Entries())
        if (controls.m_rects.count(entry.nID))
            controls.m_rects[entry.nID] = entry.rcNew;
}

SizeBoxRect Shifted(SizeBoxRect r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

constexpr SizeBoxRect CONTROL{50, 40, 100, 60};

// One control with the given flags in a 200 x 100 client area, resized to cx x cy.
SizeBoxRect LaidOut(unsigned flags, int cx, int cy) {
    FakeControls controls;
    controls.Place(7, CONTROL);
    CSizeBox box(controls, {0, 0, 200, 100});
    box.AddStretchEntry(7, flags);
    Resize(box, controls, cx, cy);
    return controls.At(7);
}

} // namespace

TEST(SizeBoxLayout, EachFlagMovesStretchesOrRecentresAndOnlyTheRealLayoutIsAdjusted) {
    const struct {
        unsigned flags;
        int cx, cy;
        SizeBoxRect expected;
    } cases[] = {
        {0x00, 241, 117, CONTROL},
        {0x04, 241, 100, Shifted(CONTROL, 41, 0)},
        {0x05, 197, 100, Shifted(CONTROL, -1, 0)}, // -3 / 2 truncates toward zero
        {0x01, 241, 100, CONTROL},                 // centring alone does nothing
        {0x06, 241, 100, {50, 40, 141, 60}},       // stretch wins over move
        {0x50, 200, 125, Shifted(CONTROL, 0, 12)},
        {0x40, 200, 125, CONTROL},
        {0x30, 200, 125, {50, 40, 100, 85}},
        {0x22, 210, 90, {50, 40, 110, 50}},
        {0x15, 211, 90, Shifted(CONTROL, 5, -10)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LaidOut(c.flags, c.cx, c.cy), c.expected) << std::hex << c.flags;

    // Moves add up step by step; recentring is worked out from the start each time.
    FakeControls controls;
    controls.Place(1, CONTROL);
    controls.Place(2, CONTROL);
    int calls = 0;
    CSizeBox box(controls, {0, 0, 200, 100}, [&calls](unsigned id, SizeBoxRect &rc) {
        if (id == 2)
            ++calls, rc.right = rc.left + 10;
    });
    box.AddStretchEntry(1, 0x04);
    box.AddStretchEntry(2, 0x8005);
    std::vector<CSizeBox::CStretchEntry> trial = box.Entries();
    box.Layout(false, trial, 220, 110);
    EXPECT_EQ(calls, 0); // a trial layout is not adjusted
    for (int cx : {201, 202, 203, 204, 205})
        Resize(box, controls, cx, 100);
    EXPECT_EQ(controls.At(1), Shifted(CONTROL, 5, 0));
    EXPECT_EQ(controls.At(2), (SizeBoxRect{52, 40, 62, 60})); // not 1 + 0 + 1 + 0 + 1 accumulated
    EXPECT_EQ(calls, 5);

    auto entry = [](SizeBoxRect r) { return CSizeBox::CStretchEntry{1, 0, r, r}; };
    EXPECT_FALSE(CSizeBox::IsLayoutInvalid({entry({0, 0, 10, 10}), entry({10, 0, 20, 10})}, 20, 10));
    for (SizeBoxRect bad : {SizeBoxRect{9, 9, 20, 10}, SizeBoxRect{-1, 0, 10, 10}, SizeBoxRect{5, 0, 5, 10},
                            SizeBoxRect{0, 5, 10, 5}, SizeBoxRect{0, 0, 21, 10}})
        EXPECT_TRUE(CSizeBox::IsLayoutInvalid({entry({0, 0, 10, 10}), entry(bad)}, 20, 10));
}

TEST(SizeBoxMinimum, SearchesWidthThenHeightOnePixelAtATime) {
    // A list that stretches both ways above a centred button, with the grip in the corner.
    FakeControls controls;
    controls.Place(CSizeBox::IDC_SIZEBOX, {184, 84, 200, 100});
    controls.Place(10, {10, 10, 190, 60});
    controls.Place(11, {60, 70, 140, 80});
    CSizeBox box(controls, {0, 0, 200, 100});
    box.AddStretchEntry(CSizeBox::IDC_SIZEBOX, 0x14);
    box.AddStretchEntry(10, 0x22);
    box.AddStretchEntry(11, 0x15);
    // Width: the button's right edge 140 + trunc((cx - 200) / 2) <= cx down to cx = 80. Height: the list's bottom
    // 60 + (cy - 100) must stay below its top 10.
    EXPECT_EQ(box.ComputeMinClientSize(200, 100), (SizeBoxSize{80, 51}));
    EXPECT_EQ(box.Entries()[2].rcNew, (SizeBoxRect{60, 70, 140, 80})); // worked out on a copy

    // A control that is not there pins the minimum to the present size.
    box.AddStretchEntry(99, 0x22);
    EXPECT_EQ(box.ComputeMinClientSize(200, 100), (SizeBoxSize{200, 100}));
}

TEST(DialogState, WindowRectTextKeptOnTheWorkAreaAndColumnSettings) {
    EXPECT_EQ(FormatWindowRect({-8, -30, 20, 0}), "-8:20:-30:0");
    EXPECT_EQ(ParseWindowRect(" -1: +2:3:4 and more"), (SizeBoxRect{-1, 3, 2, 4}));
    for (const char *bad : {"1:2:3", "1,2,3,4", ""})
        EXPECT_FALSE(ParseWindowRect(bad)) << bad;

    const SizeBoxRect work{0, 0, 1280, 1000};
    EXPECT_EQ(KeepOnWorkArea({100, 50, 500, 400}, work), (SizeBoxRect{100, 50, 500, 400}));
    EXPECT_EQ(KeepOnWorkArea({1310, 50, 1710, 400}, work), (SizeBoxRect{1180, 50, 1580, 400})); // 100 inside
    EXPECT_EQ(KeepOnWorkArea({-900, 950, -500, 1300}, work), (SizeBoxRect{0, 900, 400, 1250}));
    // A work area narrower and lower than 100 pixels: the later rule wins.
    EXPECT_EQ(KeepOnWorkArea({500, 500, 600, 600}, {10, 20, 60, 70}), (SizeBoxRect{10, -30, 110, 70}));

    // Widths and orders side by side, numbers read as wcstol with base 0, one separator of any kind.
    std::vector<std::pair<int, int>> read;
    for (const auto &column : ParseColumnSettings("0x10;010 x7,,9", "1,0,2,3,4,5,6"))
        read.emplace_back(column.width.value_or(-1), column.order.value_or(-1));
    EXPECT_EQ(read, (std::vector<std::pair<int, int>>{{16, 1}, {8, 0}, {0, 2}, {7, 3}, {0, 4}, {9, 5}, {-1, 6}}));
    EXPECT_TRUE(ParseColumnSettings("", "").empty());
}
