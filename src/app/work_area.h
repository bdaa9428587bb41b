#pragma once
// Where a window kept from an earlier run may open on the screens there are now: the screens may be fewer or
// smaller than when its place was stored.
#include <span>

#include "app/size_box.h"

// The rectangle as it stands when it lies wholly inside one of the work areas. Otherwise it goes to the work area it
// overlaps most (the nearest one when it overlaps none), no larger than that area and moved no further than it has
// to be to lie inside it. No work areas: unchanged.
SizeBoxRect KeepInsideWorkArea(const SizeBoxRect &rect, std::span<const SizeBoxRect> workAreas);
