#include "cli/stop_request.h"

#include <csignal>

namespace corvalt {

namespace {

volatile std::sig_atomic_t g_stopRequested = 0;

void RequestStop(int)
{
    g_stopRequested = 1;
}

}  // namespace

void StopOnInterrupt()
{
    g_stopRequested = 0;
    struct sigaction action = {};
    action.sa_handler = RequestStop;
    // A read, an ioctl or a sleep the signal lands in goes on: the program
    // stops at its own checks, not in the middle of an exchange.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool StopRequested()
{
    return g_stopRequested != 0;
}

}  // namespace corvalt
