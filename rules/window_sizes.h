// The window's two heights: the full template size, shown in command mode,
// and the size cut off at the bottom edge of the status frame, shown in
// reading mode. Both are taken once, at the first resize, while the window
// still has its template size; only widths and heights are used, so moving
// the window later changes nothing. Sizes are those of the window's client
// area, its frame left out.
#pragma once

namespace corvalt {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

// True when the two rectangles share an area, not merely an edge.
bool Intersects(const Rect& a, const Rect& b);

struct Size {
    int width = 0, height = 0;
    bool operator==(const Size&) const = default;
};

class WindowSizes {
public:
    bool IsCaptured() const { return m_full != Rect{}; }

    // Takes the window's client rectangle as the full size and cuts the
    // reduced one at the bottom of the control's rectangle, in the same
    // coordinates. Only the first call counts.
    void CaptureOnce(const Rect& window, const Rect& control);

    Size Full() const { return {m_full.Width(), m_full.Height()}; }
    // The window, its frame included, ends exactly at the control's bottom
    // edge: the frame's bottom border covers the control's last rows, and
    // the client area is that much shorter.
    Size Reduced(int bottomBorder) const;

private:
    Rect m_full;
    Rect m_reduced;
};

}  // namespace corvalt
