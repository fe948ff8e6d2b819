// Dialog units to pixels, as dialogs have always been laid out: a horizontal
// unit is a quarter of the dialog font's average character width, a vertical
// unit an eighth of its character height, each value rounded to the nearest
// pixel on its own.
#pragma once

namespace corvalt {

struct DialogBaseUnits {
    int averageCharWidth;
    int charHeight;
};

struct PixelRect {
    int x, y, width, height;
    bool operator==(const PixelRect&) const = default;
};

// The base units of a font, given the advance of the 52 letters
// "A".."Z" "a".."z" in a row and the font's line height in pixels.
DialogBaseUnits BaseUnitsFromFont(int alphabetAdvance, int lineHeight);

int DialogXToPixels(int x, const DialogBaseUnits& units);
int DialogYToPixels(int y, const DialogBaseUnits& units);
PixelRect DialogRectToPixels(int x, int y, int width, int height, const DialogBaseUnits& units);

}  // namespace corvalt
