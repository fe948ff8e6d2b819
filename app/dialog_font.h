// The font the dialogs are drawn and measured with: SimSun 9 pt where it is
// installed, else WenQuanYi Zen Hei 9 pt (which also covers the Chinese
// texts), else the application's default font.
#pragma once

#include <QFont>

#include "app/dialog_units.h"

namespace corvalt {

QFont DialogFont();
DialogBaseUnits BaseUnitsOf(const QFont& font);

}  // namespace corvalt
