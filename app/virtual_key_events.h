// Key strokes of the virtual reader as Qt key events: how a reader in
// keyboard mode types into the focused window.
#pragma once

#include <vector>

#include "virtualreader/keyboard_typing.h"

class QWidget;

namespace corvalt {

// Sends a press and a release of each key to the widget, in order.
void TypeKeys(QWidget& target, const std::vector<KeyStroke>& keys);

}  // namespace corvalt
