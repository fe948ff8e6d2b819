// Dialog units to pixels. The templates were drawn in a font whose average
// character is 6 pixels wide and 12 pixels high at 96 DPI; a horizontal unit
// is a quarter of that width and a vertical unit an eighth of that height,
// so both are 1.5 pixels at 96 DPI and grow with the screen's logical DPI,
// whatever font is installed. Each value is rounded to the nearest pixel on
// its own, halves away from zero.
#pragma once

namespace corvalt {

struct DialogScale {
    int dotsPerInchX = 96;  // the screen's logical DPI
    int dotsPerInchY = 96;
};

struct PixelRect {
    int x, y, width, height;
    bool operator==(const PixelRect&) const = default;
};

int DialogXToPixels(int x, const DialogScale& scale);
int DialogYToPixels(int y, const DialogScale& scale);
PixelRect DialogRectToPixels(int x, int y, int width, int height, const DialogScale& scale);

}  // namespace corvalt
