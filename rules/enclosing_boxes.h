// Which group box each control of a dialog template sits in: the smallest
// one whose rectangle holds the control's whole rectangle. The window makes
// each control a child of its box, so that a screen reader hears the box's
// caption with the control ("Apply" in "Select Track"). Group boxes sit in
// no box: the window decides what is enabled box by box, and a box inside
// another would take its controls' state along with its own.
#pragma once

#include <span>
#include <vector>

#include "rules/dialog_template.h"

namespace corvalt {

constexpr int kNoBox = -1;

// Parallel to controls: the row index of the box each control sits in, or
// kNoBox (always for a group box).
std::vector<int> EnclosingGroupBoxes(std::span<const ControlSpec> controls);

}  // namespace corvalt
