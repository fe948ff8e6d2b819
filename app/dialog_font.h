// The dialogs' font: on Windows the templates' own face, SimSun, which the
// system carries; elsewhere, and where Windows lacks it, AR PL UMing CN, from
// Debian's fonts-arphic-uming, a Song face like it. At 12 pixels its line is
// 12 pixels high and its Latin letters are half-width, 6 pixels on average,
// as the templates expect, and it carries the Chinese texts too.
//
// It is used at the largest pixel size, from 9 points at the screen's
// logical DPI (12 pixels at 96 DPI) down, at which every caption of both
// templates fits whole inside its control (caption_fit.h). Where the face is
// missing, the font that stands in for it shrinks the same way until it fits.
//
// Where a font pixel is a screen pixel, the face is drawn from its own
// bitmaps (it has them from 11 to 16 pixels), which are crisp where its
// thin outlines come out grey; on denser screens from its outlines.
#pragma once

#include <QFont>
#include <QStringList>
#include <QStyle>

#include "rules/dialog_units.h"

namespace corvalt {

// The faces asked for, the first the system has taken.
QStringList DialogFontFamilies();

QFont DialogFont(const DialogScale& scale, const QStyle& style, qreal devicePixelRatio);

}  // namespace corvalt
