// Time from the program's start to the first paint of its main window.
// Loaded into the real program, unchanged, as a preload:
//
//   QT_QPA_PLATFORM=offscreen LD_PRELOAD=build/bench/libfirst_paint_probe.so build/app/corvalt
//
// It watches every event from the moment the application object exists; at
// the first paint of a top-level window it prints the times and closes that
// window, which ends the program.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

using std::chrono::steady_clock;

// When the dynamic loader ran this library's initialisers: before main().
const steady_clock::time_point kLoaded = steady_clock::now();

// Milliseconds since the kernel started the process (field 22 of
// /proc/self/stat, in clock ticks, against the boot-time clock).
double MillisecondsSinceExec()
{
    std::ifstream stat("/proc/self/stat");
    const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));  // the command name may hold blanks
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
    }
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double started = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
    return (static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9 - started) * 1000.0;
}

class FirstPaint final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!m_painted && event->type() == QEvent::Paint && widget != nullptr && widget->isWindow()) {
            m_painted = true;
            const double fromLoad = std::chrono::duration<double, std::milli>(steady_clock::now() - kLoaded).count();
            std::printf("first paint of %s: %.1f ms after loading, %.0f ms after exec (10 ms resolution)\n",
                        widget->metaObject()->className(), fromLoad, MillisecondsSinceExec());
            std::fflush(stdout);
            QTimer::singleShot(0, widget, &QWidget::close);
        }
        return false;
    }

private:
    bool m_painted = false;
};

void InstallProbe()
{
    QCoreApplication::instance()->installEventFilter(new FirstPaint);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
