#include "app/radio_group_keys.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QKeyEvent>

namespace corvalt {

void RadioGroupKeys::Install(QButtonGroup& group)
{
    auto* keys = new RadioGroupKeys(group);
    for (QAbstractButton* button : group.buttons())
        button->installEventFilter(keys);
}

RadioGroupKeys::RadioGroupKeys(QButtonGroup& group) : QObject(&group), m_group(group) {}

bool RadioGroupKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    int step = 0;
    switch (key->key()) {
    case Qt::Key_Down:
    case Qt::Key_Right: step = 1; break;
    case Qt::Key_Up:
    case Qt::Key_Left: step = -1; break;
    default: return false;
    }
    const QList<QAbstractButton*> buttons = m_group.buttons();
    const auto count = buttons.size();
    const auto from = buttons.indexOf(static_cast<QAbstractButton*>(watched));
    for (qsizetype moved = 1; moved < count; ++moved) {
        QAbstractButton* next = buttons[(from + step * moved + count * moved) % count];
        if (!next->isEnabled() || next->isHidden())
            continue;
        next->click();
        next->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        break;
    }
    return true;
}

}  // namespace corvalt
