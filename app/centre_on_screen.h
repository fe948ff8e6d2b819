// Puts a window where its full size is centred on its screen
// (window_placement.h): before it is shown, and once more when the window
// manager has put its frame around it, as only then is the frame's size
// known. A window that is only cut shorter at the bottom, as the main window
// is in reading mode, then never needs to move for its full size.
#pragma once

#include <QObject>
#include <QSize>

class QWidget;

namespace corvalt {

class CentreOnScreen final : public QObject {
public:
    // For a window not shown yet; fullSize is its largest size without its
    // frame.
    static void Install(QWidget& window, QSize fullSize);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CentreOnScreen(QWidget& window, QSize fullSize);
    QSize FrameExtent() const;
    void Place();
    void Finish();  // the window is where it belongs

    QWidget& m_window;
    QSize m_fullSize;
};

}  // namespace corvalt
