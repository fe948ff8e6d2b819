// The style the dialogs' controls are drawn in: the application's own, but
// with the text of a check box or radio button beginning two dialog units
// after its indicator, the narrow gap the templates were laid out for, where
// styles commonly leave twice as much and cut the short captions off.
#pragma once

#include <QProxyStyle>

#include "rules/dialog_units.h"

namespace corvalt {

class DialogStyle final : public QProxyStyle {
public:
    explicit DialogStyle(const DialogScale& scale);

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;

private:
    DialogScale m_scale;
};

}  // namespace corvalt
