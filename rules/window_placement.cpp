#include "rules/window_placement.h"

#include <algorithm>

namespace corvalt {

namespace {

int CentredStart(int start, int room, int length)
{
    return start + std::max(room - length, 0) / 2;
}

}  // namespace

Point CentredPlace(const Rect& available, const Size& window)
{
    return {CentredStart(available.left, available.Width(), window.width),
            CentredStart(available.top, available.Height(), window.height)};
}

}  // namespace corvalt
