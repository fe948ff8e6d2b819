#include "cli/stop_request.h"

#include <csignal>

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#endif

namespace corvalt {

namespace {

#ifdef _WIN32
// Windows runs a console's control handler on a thread of its own.
std::atomic<bool> g_stopRequested = false;

BOOL WINAPI RequestStop(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;  // closing the console or logging off: the system's way
    g_stopRequested = true;
    return TRUE;
}

// SIGINT raised inside the program, which the C runtime hands to signal()'s
// handler, not to the console's: it asks for a stop too. The runtime
// forgets the handler once it has called it.
void RequestStopOnSignal(int signal)
{
    g_stopRequested = true;
    std::signal(signal, RequestStopOnSignal);
}
#else
volatile std::sig_atomic_t g_stopRequested = 0;

void RequestStop(int)
{
    g_stopRequested = 1;
}
#endif

}  // namespace

void StopOnInterrupt()
{
    g_stopRequested = 0;
#ifdef _WIN32
    ::SetConsoleCtrlHandler(RequestStop, TRUE);
    std::signal(SIGINT, RequestStopOnSignal);
#else
    struct sigaction action = {};
    action.sa_handler = RequestStop;
    // A read, an ioctl or a sleep the signal lands in goes on: the program
    // stops at its own checks, not in the middle of an exchange.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
}

bool StopRequested()
{
    return g_stopRequested != 0;
}

}  // namespace corvalt
