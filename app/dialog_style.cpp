#include "app/dialog_style.h"

namespace corvalt {

namespace {

constexpr int kLabelSpacingUnits = 2;

}  // namespace

DialogStyle::DialogStyle(const DialogScale& scale) : scale_(scale) {}

int DialogStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
        return DialogXToPixels(kLabelSpacingUnits, scale_);
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

}  // namespace corvalt
