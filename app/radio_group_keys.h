// The arrow keys inside a group of radio buttons, as a dialog's: Down and
// Right choose the next button of the group, Up and Left the one before, in
// the group's order and round at its ends, passing over disabled buttons.
// The choice is a click, so it runs the button's handler as a click does.
#pragma once

#include <QObject>

class QButtonGroup;

namespace corvalt {

class RadioGroupKeys final : public QObject {
public:
    // Watches the arrow keys of the group's buttons for as long as the group
    // lives.
    static void Install(QButtonGroup& group);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit RadioGroupKeys(QButtonGroup& group);

    QButtonGroup& m_group;
};

}  // namespace corvalt
