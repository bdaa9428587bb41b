#include <gtest/gtest.h>
#include <map>

#include "app/dialog_state.h"
#include "app/size_box.h"

namespace {

// Controls that stand where the last real layout put them, as a dialog's controls do.
class FakeControls : public ISizeBoxControls {
public:
    bool GetControlRect(unsigned id, SizeBoxRect &rect) const override {
        auto it = m_rects.find(id);
        if (it == m_rects.end())
            return false;
        rect = it->second;
        return true;
    }
    void Place(unsigned id, SizeBoxRect rect) { m_rects[id] = rect; }
    void Apply(const CSizeBox &box) {
        for (const auto &entry : box.Entries())
            if (m_rects.count(entry.nID))
                m_rects[entry.nID] = entry.rcNew;
    }
    SizeBoxRect At(unsigned id) const { return m_rects.at(id); }

private:
    std::map<unsigned, SizeBoxRect> m_rects;
};

void Resize(CSizeBox &box, FakeControls &controls, int cx, int cy) {
    box.LayoutTo(cx, cy);
    controls.Apply(box);
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

TEST(SizeBoxLayout, EachFlagMovesStretchesOrRecentres) {
    EXPECT_EQ(LaidOut(0, 241, 117), CONTROL);
    EXPECT_EQ(LaidOut(0x04, 241, 100), Shifted(CONTROL, 41, 0));
    EXPECT_EQ(LaidOut(0x05, 241, 100), Shifted(CONTROL, 20, 0));
    EXPECT_EQ(LaidOut(0x05, 197, 100), Shifted(CONTROL, -1, 0)); // -3 / 2 truncates toward zero
    EXPECT_EQ(LaidOut(0x01, 241, 100), CONTROL);                 // centring alone does nothing
    EXPECT_EQ(LaidOut(0x02, 241, 100), (SizeBoxRect{50, 40, 141, 60}));
    EXPECT_EQ(LaidOut(0x06, 241, 100), (SizeBoxRect{50, 40, 141, 60})); // stretch wins over move
    EXPECT_EQ(LaidOut(0x07, 241, 100), (SizeBoxRect{50, 40, 141, 60}));
    EXPECT_EQ(LaidOut(0x10, 200, 90), Shifted(CONTROL, 0, -10));
    EXPECT_EQ(LaidOut(0x50, 200, 125), Shifted(CONTROL, 0, 12));
    EXPECT_EQ(LaidOut(0x40, 200, 125), CONTROL);
    EXPECT_EQ(LaidOut(0x20, 200, 125), (SizeBoxRect{50, 40, 100, 85}));
    EXPECT_EQ(LaidOut(0x30, 200, 125), (SizeBoxRect{50, 40, 100, 85}));
    EXPECT_EQ(LaidOut(0x22, 210, 90), (SizeBoxRect{50, 40, 110, 50}));
    EXPECT_EQ(LaidOut(0x14, 210, 90), Shifted(CONTROL, 10, -10));
    EXPECT_EQ(LaidOut(0x15, 211, 90), Shifted(CONTROL, 5, -10));
}

TEST(SizeBoxLayout, MovesAreIncrementalAndRecentringIsAbsolute) {
    FakeControls controls;
    controls.Place(1, CONTROL);
    controls.Place(2, CONTROL);
    CSizeBox box(controls, {0, 0, 200, 100});
    box.AddStretchEntry(1, 0x04);
    box.AddStretchEntry(2, 0x05);
    for (int cx : {201, 202, 203, 204, 205})
        Resize(box, controls, cx, 100);
    EXPECT_EQ(controls.At(1), Shifted(CONTROL, 5, 0));
    EXPECT_EQ(controls.At(2), Shifted(CONTROL, 2, 0)); // not 1 + 0 + 1 + 0 + 1 accumulated
    Resize(box, controls, 200, 100);
    EXPECT_EQ(controls.At(1), CONTROL);
    EXPECT_EQ(controls.At(2), CONTROL);
}

TEST(SizeBoxLayout, CallbackAdjustsRealLayoutOnly) {
    FakeControls controls;
    controls.Place(3, CONTROL);
    int calls = 0;
    CSizeBox box(controls, {0, 0, 200, 100}, [&calls](unsigned id, SizeBoxRect &rc) {
        EXPECT_EQ(id, 3u);
        ++calls;
        rc.right = rc.left + 10;
    });
    box.AddStretchEntry(3, 0x8004);
    std::vector<CSizeBox::CStretchEntry> trial = box.Entries();
    box.Layout(false, trial, 220, 110);
    EXPECT_EQ(trial[0].rcNew, (SizeBoxRect{50, 40, 120, 70})); // a trial stretches both ways
    EXPECT_EQ(calls, 0);
    Resize(box, controls, 220, 110);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(controls.At(3), (SizeBoxRect{70, 40, 80, 60}));
}

TEST(SizeBoxLayout, ValidityChecksBoundsEmptinessAndOverlap) {
    auto entry = [](SizeBoxRect r) { return CSizeBox::CStretchEntry{1, 0, r, r}; };
    EXPECT_FALSE(CSizeBox::IsLayoutInvalid({entry({0, 0, 10, 10}), entry({10, 0, 20, 10})}, 20, 10));
    EXPECT_TRUE(CSizeBox::IsLayoutInvalid({entry({0, 0, 10, 10}), entry({9, 9, 20, 10})}, 20, 10));
    EXPECT_TRUE(CSizeBox::IsLayoutInvalid({entry({0, 0, 10, 10})}, 9, 10));
    EXPECT_TRUE(CSizeBox::IsLayoutInvalid({entry({0, 0, 10, 10})}, 10, 9));
    EXPECT_TRUE(CSizeBox::IsLayoutInvalid({entry({-1, 0, 10, 10})}, 20, 20));
    EXPECT_TRUE(CSizeBox::IsLayoutInvalid({entry({0, -1, 10, 10})}, 20, 20));
    EXPECT_TRUE(CSizeBox::IsLayoutInvalid({entry({5, 0, 5, 10})}, 20, 20));
    EXPECT_TRUE(CSizeBox::IsLayoutInvalid({entry({0, 5, 10, 5})}, 20, 20));
    EXPECT_TRUE(CSizeBox::IsLayoutInvalid({entry({0, 0, 0, 0})}, 20, 20));
}

TEST(SizeBoxMinimum, SearchesWidthThenHeightOnePixelAtATime) {
    // A list that stretches both ways above a centred button, with the grip in the corner.
    FakeControls controls;
    controls.Place(CSizeBox::IDC_SIZEBOX, {184, 84, 200, 100});
    controls.Place(10, {10, 10, 190, 60}); // list, 0x22
    controls.Place(11, {60, 70, 140, 80}); // button, 0x15
    CSizeBox box(controls, {0, 0, 200, 100});
    box.AddStretchEntry(CSizeBox::IDC_SIZEBOX, 0x14);
    box.AddStretchEntry(10, 0x22);
    box.AddStretchEntry(11, 0x15);
    // Width: the 80-pixel button re-centred at 60 + trunc((cx - 200) / 2) fits while its right edge
    // 140 + trunc((cx - 200) / 2) <= cx, which holds down to cx = 80 and fails at 79.
    SizeBoxSize min = box.ComputeMinClientSize(200, 100);
    EXPECT_EQ(min.cx, 80);
    // Height: the list's bottom 60 + (cy - 100) must exceed its top 10: cy > 50; the button (70 + dy .. 80 + dy)
    // must not overlap the list (10 .. 60 + dy): always apart by 10. Top of button >= 0: cy >= 30.
    EXPECT_EQ(min.cy, 51);
    // The search works on a copy: the real entries are untouched.
    EXPECT_EQ(box.Entries()[2].rcNew, (SizeBoxRect{60, 70, 140, 80}));
}

TEST(SizeBoxMinimum, MissingControlPinsTheMinimumToThePresentSize) {
    FakeControls controls;
    controls.Place(10, {10, 10, 190, 60});
    CSizeBox box(controls, {0, 0, 200, 100});
    box.AddStretchEntry(10, 0x22);
    box.AddStretchEntry(99, 0x22);
    EXPECT_EQ(box.Entries()[1].rcInitial, (SizeBoxRect{}));
    EXPECT_EQ(box.ComputeMinClientSize(200, 100), (SizeBoxSize{200, 100}));
    Resize(box, controls, 300, 150);
    EXPECT_EQ(box.Entries()[1].rcNew, (SizeBoxRect{}));
}

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
