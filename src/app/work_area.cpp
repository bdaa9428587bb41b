#include "app/work_area.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

// In 64 bits: a stored rectangle may hold any int, and its sides' differences must not overflow.
struct Box {
    int64_t left, top, right, bottom;
    explicit Box(const SizeBoxRect &r) : left(r.left), top(r.top), right(r.right), bottom(r.bottom) {}
    int64_t Width() const { return std::max<int64_t>(right - left, 0); }
    int64_t Height() const { return std::max<int64_t>(bottom - top, 0); }
};

bool Contains(const Box &outer, const Box &inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

int64_t Overlap(const Box &a, const Box &b) {
    const int64_t width = std::min(a.right, b.right) - std::max(a.left, b.left);
    const int64_t height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// The gap between two rectangles that do not overlap, as the larger of the horizontal and vertical gaps.
int64_t Distance(const Box &a, const Box &b) {
    const int64_t dx = std::max({a.left - b.right, b.left - a.right, int64_t(0)});
    const int64_t dy = std::max({a.top - b.bottom, b.top - a.bottom, int64_t(0)});
    return std::max(dx, dy);
}

} // namespace

SizeBoxRect KeepInsideWorkArea(const SizeBoxRect &rect, std::span<const SizeBoxRect> workAreas) {
    const Box box(rect);
    const Box *best = nullptr;
    std::vector<Box> areas(workAreas.begin(), workAreas.end());
    int64_t bestOverlap = 0;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (const Box &area : areas) {
        if (!area.Width() || !area.Height())
            continue; // a screen without room takes no window
        if (Contains(area, box))
            return rect;
        const int64_t overlap = Overlap(area, box);
        const int64_t distance = overlap ? 0 : Distance(area, box);
        if (overlap > bestOverlap || (!bestOverlap && !overlap && distance < bestDistance)) {
            best = &area;
            bestOverlap = overlap;
            bestDistance = distance;
        }
    }
    if (!best)
        return rect;
    const int64_t width = std::min(box.Width(), best->Width());
    const int64_t height = std::min(box.Height(), best->Height());
    const int64_t left = std::clamp(box.left, best->left, best->right - width);
    const int64_t top = std::clamp(box.top, best->top, best->bottom - height);
    // Inside a work area, so every side fits an int.
    return SizeBoxRect{int(left), int(top), int(left + width), int(top + height)};
}
