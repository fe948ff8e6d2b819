#include "app/dialog_units.h"

namespace corvalt {

namespace {

// value * numerator / denominator, rounded half away from zero.
int ScaleRounded(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

}  // namespace

DialogBaseUnits BaseUnitsFromFont(int alphabetAdvance, int lineHeight)
{
    // The average over 26 letter pairs, rounded: (advance / 26 + 1) / 2.
    return {(alphabetAdvance / 26 + 1) / 2, lineHeight};
}

int DialogXToPixels(int x, const DialogBaseUnits& units)
{
    return ScaleRounded(x, units.averageCharWidth, 4);
}

int DialogYToPixels(int y, const DialogBaseUnits& units)
{
    return ScaleRounded(y, units.charHeight, 8);
}

PixelRect DialogRectToPixels(int x, int y, int width, int height, const DialogBaseUnits& units)
{
    return {DialogXToPixels(x, units), DialogYToPixels(y, units), DialogXToPixels(width, units),
            DialogYToPixels(height, units)};
}

}  // namespace corvalt
