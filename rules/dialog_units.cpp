#include "rules/dialog_units.h"

namespace corvalt {

namespace {

// A unit is dotsPerInch / 64 pixels: 1.5 at 96 DPI.
constexpr int kDpiOfOnePixelPerUnit = 64;

// value * numerator / denominator, rounded half away from zero.
int ScaleRounded(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

}  // namespace

int DialogXToPixels(int x, const DialogScale& scale)
{
    return ScaleRounded(x, scale.dotsPerInchX, kDpiOfOnePixelPerUnit);
}

int DialogYToPixels(int y, const DialogScale& scale)
{
    return ScaleRounded(y, scale.dotsPerInchY, kDpiOfOnePixelPerUnit);
}

PixelRect DialogRectToPixels(int x, int y, int width, int height, const DialogScale& scale)
{
    return {DialogXToPixels(x, scale), DialogYToPixels(y, scale), DialogXToPixels(width, scale),
            DialogYToPixels(height, scale)};
}

}  // namespace corvalt
