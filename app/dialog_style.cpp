#include "app/dialog_style.h"

namespace corvalt {

namespace {

constexpr int kLabelSpacingUnits = 2;

}  // namespace

DialogStyle::DialogStyle(const DialogScale& scale) : m_scale(scale) {}

int DialogStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing: return DialogXToPixels(kLabelSpacingUnits, m_scale);
    default: return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

}  // namespace corvalt
