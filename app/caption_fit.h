// Whether a font's captions fit a template's controls: each caption's
// advance and the font's line height against the room its control leaves
// for the caption as the style draws it: inside a push button's frame,
// beside a check box's or radio button's indicator, along a group box's top
// edge, or the whole of a label.
#pragma once

#include <span>

#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QStyle>

#include "rules/dialog_template.h"
#include "rules/dialog_units.h"

namespace corvalt {

// The room for the caption of the control the row describes, placed at
// place; empty for controls without a caption.
QRect CaptionArea(const ControlSpec& row, const QRect& place, const QStyle& style, const QFontMetrics& metrics);

bool CaptionsFit(std::span<const ControlSpec> rows, const DialogScale& scale, const QStyle& style, const QFont& font);

}  // namespace corvalt
