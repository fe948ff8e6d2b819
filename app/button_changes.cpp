#include "app/button_changes.h"

#include <QAbstractButton>
#include <QRadioButton>

#include <memory>

namespace corvalt {

void OnClickOrChange(QAbstractButton& button, QObject& context, std::function<bool()> quiet,
                     std::function<void()> handler)
{
    // Every click, by mouse, key or program, runs from pressed to released;
    // a change made in between is the click's, and its clicked signal runs
    // the handler.
    auto clicking = std::make_shared<bool>(false);
    QObject::connect(&button, &QAbstractButton::pressed, &context, [clicking] { *clicking = true; });
    QObject::connect(&button, &QAbstractButton::released, &context, [clicking] { *clicking = false; });
    QObject::connect(&button, &QAbstractButton::clicked, &context, [handler] { handler(); });
    const bool onlyWhenChecked = qobject_cast<QRadioButton*>(&button) != nullptr;
    QObject::connect(&button, &QAbstractButton::toggled, &context,
                     [clicking, onlyWhenChecked, quiet = std::move(quiet), handler = std::move(handler)](bool checked) {
                         if (!*clicking && !quiet() && (checked || !onlyWhenChecked))
                             handler();
                     });
}

}  // namespace corvalt
