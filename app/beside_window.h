// Opens a window beside another (window_placement.h's PlaceBeside): when
// the other is shown, after it, so that it is the one on top, and again
// whenever the other moves or changes its size, until the user moves the
// window somewhere else.
#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

namespace corvalt {

class BesideWindow final : public QObject {
public:
    // For a window not shown yet: it is shown when `other` is.
    static void Install(QWidget& window, QWidget& other);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    BesideWindow(QWidget& window, QWidget& other);
    void Place();

    QWidget& m_window;
    QWidget& m_other;
    QPoint m_placedAt;
    bool m_placedFramed = false;  // placed with the window's frame known
};

}  // namespace corvalt
