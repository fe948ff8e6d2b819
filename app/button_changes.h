// A button's handler that follows its state, not only the mouse: it runs once
// for each click, as a click's own handler does, and once for each change of
// the checked state that no click makes: the arrow keys in a radio group, a
// screen reader's toggle action, another program. A radio button's handler
// runs only when the button becomes checked, as its click would.
#pragma once

#include <functional>

class QAbstractButton;
class QObject;

namespace corvalt {

// The handler runs in the context object's thread and is dropped with it;
// changes made while `quiet` returns true (the window setting its own
// controls) run nothing.
void OnClickOrChange(QAbstractButton& button, QObject& context, std::function<bool()> quiet,
                     std::function<void()> handler);

}  // namespace corvalt
