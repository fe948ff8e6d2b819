#include "rules/window_sizes.h"

#include <algorithm>

namespace corvalt {

bool Intersects(const Rect& a, const Rect& b)
{
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

void WindowSizes::CaptureOnce(const Rect& window, const Rect& control)
{
    if (IsCaptured())
        return;
    m_full = window;
    m_reduced = window;
    m_reduced.bottom = control.bottom;
}

Size WindowSizes::Reduced(int bottomBorder) const
{
    return {m_reduced.Width(), std::max(m_reduced.Height() - bottomBorder, 0)};
}

}  // namespace corvalt
