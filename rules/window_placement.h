// Where a window goes on its screen: centred in the screen's available area
// (the screen less its panels) at the size given, frame included. A window
// larger than the area keeps its top-left corner on the area, so that its
// caption can still be reached.
#pragma once

#include "rules/window_sizes.h"

namespace corvalt {

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

// The top-left corner of the window's frame.
Point CentredPlace(const Rect& available, const Size& window);

}  // namespace corvalt
