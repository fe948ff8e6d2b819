#include "app/centre_on_screen.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>

#include "app/window_placement.h"

namespace corvalt {

void CentreOnScreen::Install(QWidget& window, QSize fullSize)
{
    auto* placer = new CentreOnScreen(window, fullSize);
    placer->Place();
    window.installEventFilter(placer);
}

CentreOnScreen::CentreOnScreen(QWidget& window, QSize fullSize)
    : QObject(&window), window_(window), fullSize_(fullSize)
{
}

QSize CentreOnScreen::FrameExtent() const
{
    return window_.frameGeometry().size() - window_.size();
}

void CentreOnScreen::Place()
{
    const QRect area = window_.screen()->availableGeometry();
    const QSize full = fullSize_ + FrameExtent();
    const Point place = CentredPlace({area.left(), area.top(), area.left() + area.width(), area.top() + area.height()},
                                     {full.width(), full.height()});
    window_.move(place.x, place.y);  // a window's position is its frame's
}

bool CentreOnScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &window_)
        return false;
    if (event->type() == QEvent::Move && !FrameExtent().isNull()) {
        Finish();
        Place();
    }
    return false;
}

void CentreOnScreen::Finish()
{
    window_.removeEventFilter(this);
    deleteLater();
}

}  // namespace corvalt
