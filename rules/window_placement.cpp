#include "rules/window_placement.h"

#include <algorithm>

namespace corvalt {

namespace {

int CentredStart(int start, int room, int length)
{
    return start + std::max(room - length, 0) / 2;
}

// The start that keeps [start, start + length) inside [low, high) or, where
// it cannot, its start on low.
int Within(int start, int length, int low, int high)
{
    return std::max(low, std::min(start, high - length));
}

}  // namespace

Point CentredPlace(const Rect& available, const Size& window)
{
    return {CentredStart(available.left, available.Width(), window.width),
            CentredStart(available.top, available.Height(), window.height)};
}

Point PlaceBeside(const Rect& available, const Rect& placed, const Size& window)
{
    const int top = Within(placed.top, window.height, available.top, available.bottom);
    if (placed.right + window.width <= available.right)
        return {placed.right, top};
    if (placed.left - window.width >= available.left)
        return {placed.left - window.width, top};
    return {Within(placed.left, window.width, available.left, available.right),
            Within(placed.bottom, window.height, available.top, available.bottom)};
}

}  // namespace corvalt
