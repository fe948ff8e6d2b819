#include "app/no_display.h"

#include <cstdio>
#include <cstdlib>

#include "rules/window_texts.h"

namespace corvalt {

namespace {

std::vector<std::pair<QtMsgType, QString>>* g_held = nullptr;  // the guard's, while it lives

void HoldOrEnd(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg)
        std::_Exit(ReportNoDisplay());  // Qt is half made: nothing of it may run on
    g_held->emplace_back(type, message);
}

}  // namespace

bool DisplayNamed()
{
#if defined(_WIN32) || defined(__APPLE__)
    return true;
#else
    const auto isSet = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
#endif
}

int ReportNoDisplay()
{
    std::fprintf(stderr, "%.*s\n", static_cast<int>(kNoDisplay.size()), kNoDisplay.data());
    return kExitNoDisplay;
}

PlatformStartGuard::PlatformStartGuard()
{
    g_held = &m_held;
    m_previous = qInstallMessageHandler(HoldOrEnd);
}

PlatformStartGuard::~PlatformStartGuard()
{
    qInstallMessageHandler(m_previous);
    g_held = nullptr;
    for (const auto& [type, message] : m_held)
        qt_message_output(type, QMessageLogContext(), message);
}

}  // namespace corvalt
