// Starting the window where there is no display to draw it on. Qt's
// platform plugin cannot start then, and Qt ends the program with an abort;
// the program instead says why, on one line of standard error, and ends with
// kExitNoDisplay.
#pragma once

#include <QString>
#include <QtGlobal>

#include <utility>
#include <vector>

namespace corvalt {

inline constexpr int kExitNoDisplay = 1;

// False where there is surely no display: on Linux and the other X11
// systems, when neither DISPLAY nor WAYLAND_DISPLAY is set and
// QT_QPA_PLATFORM names no platform of its own.
bool DisplayNamed();

// Prints the no-display line; returns kExitNoDisplay.
int ReportNoDisplay();

// Held while the application is made: a display that is named but cannot
// be reached (or a platform plugin that will not load) ends the program
// with the no-display line instead of Qt's abort. Qt's other messages in
// that time are held back, and passed on when the guard ends, so that a
// failed start prints that one line only.
class PlatformStartGuard {
public:
    PlatformStartGuard();
    ~PlatformStartGuard();
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;

private:
    QtMessageHandler m_previous;
    std::vector<std::pair<QtMsgType, QString>> m_held;
};

}  // namespace corvalt
