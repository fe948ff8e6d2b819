// Interrupts on Linux: SIGINT, SIGTERM and SIGHUP request a stop.
#include <csignal>

#include "cli/stop_request.h"

namespace corvalt {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

bool g_installed = false;

void RequestStopBySignal(int)
{
    RequestStop(StopCause::kInterrupt);
}

// restart: whether a blocked call the signal lands in goes on (SA_RESTART)
// or returns at once.
void InstallHandlers(bool restart)
{
    struct sigaction action = {};
    action.sa_handler = RequestStopBySignal;
    action.sa_flags = restart ? SA_RESTART : 0;
    sigemptyset(&action.sa_mask);
    for (const int signal : kStopSignals)
        sigaction(signal, &action, nullptr);
}

}  // namespace

void StopOnInterrupt()
{
    ClearStopRequests();
    InstallHandlers(true);
    g_installed = true;
}

InterruptibleWrite::InterruptibleWrite()
{
    if (g_installed)
        InstallHandlers(false);
}

InterruptibleWrite::~InterruptibleWrite()
{
    if (g_installed)
        InstallHandlers(true);
}

}  // namespace corvalt
