#include "app/centre_on_screen.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>

#include "rules/window_placement.h"

namespace corvalt {

void CentreOnScreen::Install(QWidget& window, QSize fullSize)
{
    auto* placer = new CentreOnScreen(window, fullSize);
    placer->Place();
    window.installEventFilter(placer);
}

CentreOnScreen::CentreOnScreen(QWidget& window, QSize fullSize)
    : QObject(&window), m_window(window), m_fullSize(fullSize)
{
}

QSize CentreOnScreen::FrameExtent() const
{
    return m_window.frameGeometry().size() - m_window.size();
}

void CentreOnScreen::Place()
{
    const QRect area = m_window.screen()->availableGeometry();
    const QSize full = m_fullSize + FrameExtent();
    const Point place = CentredPlace({area.left(), area.top(), area.left() + area.width(), area.top() + area.height()},
                                     {full.width(), full.height()});
    m_window.move(place.x, place.y);  // a window's position is its frame's
}

bool CentreOnScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_window)
        return false;
    if (event->type() == QEvent::Move && !FrameExtent().isNull()) {
        Finish();
        Place();
    }
    return false;
}

void CentreOnScreen::Finish()
{
    m_window.removeEventFilter(this);
    deleteLater();
}

}  // namespace corvalt
