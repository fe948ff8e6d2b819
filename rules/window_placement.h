// Where a window goes on its screen: centred in the screen's available area
// (the screen less its panels) at the size given, frame included. A window
// larger than the area keeps its top-left corner on the area, so that its
// caption can still be reached. A second window goes beside the first.
#pragma once

#include "rules/window_sizes.h"

namespace corvalt {

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

// The top-left corner of the window's frame.
Point CentredPlace(const Rect& available, const Size& window);

// The top-left corner of a window's frame beside another's frame `placed`:
// right of it where the area has room for the whole window, else left of
// it, level with its top as far as the area lets it. On an area too narrow
// for that, below it, its left edge level with the other's and as far down
// as the area lets it: on a small screen it then covers the lower part of
// the other window, and must be kept above it.
Point PlaceBeside(const Rect& available, const Rect& placed, const Size& window);

}  // namespace corvalt
