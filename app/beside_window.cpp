#include "app/beside_window.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "rules/window_placement.h"

namespace corvalt {

namespace {

Rect ToRect(const QRect& rect)
{
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

bool IsFramed(const QWidget& window)
{
    return window.frameGeometry().size() != window.size();
}

}  // namespace

void BesideWindow::Install(QWidget& window, QWidget& other)
{
    auto* placer = new BesideWindow(window, other);
    other.installEventFilter(placer);
    window.installEventFilter(placer);
}

BesideWindow::BesideWindow(QWidget& window, QWidget& other) : QObject(&window), m_window(window), m_other(other) {}

void BesideWindow::Place()
{
    if (!m_window.isVisible())
        m_window.adjustSize();  // its size once shown
    // Until it has a frame of its own, it will get one like the other's.
    const QSize size = IsFramed(m_window) ? m_window.frameGeometry().size()
                                          : m_window.size() + m_other.frameGeometry().size() - m_other.size();
    const Point place = PlaceBeside(ToRect(m_other.screen()->availableGeometry()), ToRect(m_other.frameGeometry()),
                                    {size.width(), size.height()});
    m_placedAt = {place.x, place.y};
    m_placedFramed = IsFramed(m_window);
    if (!m_placedFramed && m_window.windowHandle() != nullptr) {
        // Shown but not framed yet: Qt would take the place for the
        // window's own top-left corner and the frame would come above it.
        m_window.windowHandle()->setFramePosition(m_placedAt);
    } else {
        m_window.move(m_placedAt);  // a window's position is its frame's
    }
    if (!m_window.isVisible())
        m_window.show();
}

bool BesideWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == &m_other && type == QEvent::Show) {
        // The other window's Show comes before it is on the screen: this
        // one is shown once it is, so that it lies on top.
        QMetaObject::invokeMethod(this, &BesideWindow::Place, Qt::QueuedConnection);
    } else if (watched == &m_other && m_other.isVisible() && (type == QEvent::Move || type == QEvent::Resize)) {
        Place();
    } else if (watched == &m_window && type == QEvent::Move && m_window.pos() != m_placedAt) {
        // Its frame came after it was placed: its size is known only now.
        // Anything else is the user's move, which it keeps.
        if (!IsFramed(m_window)) {
            // Not the user's: nobody can drag a window without a frame.
        } else if (!m_placedFramed) {
            Place();
        } else {
            m_other.removeEventFilter(this);
            m_window.removeEventFilter(this);
            deleteLater();
        }
    }
    return false;
}

}  // namespace corvalt
