// Interrupts on Windows: Ctrl+C and Ctrl+Break in the console request a
// stop, through the console's control handler, which the system runs on a
// thread of its own. A SIGINT raised inside the program, which the C
// runtime hands to signal()'s handler instead, requests one too.
#include <windows.h>

#include <csignal>

#include "cli/stop_request.h"

namespace corvalt {

namespace {

BOOL WINAPI RequestStopByConsole(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;  // closing the console or logging off: the system's way
    RequestStop(StopCause::kInterrupt);
    return TRUE;
}

// The runtime forgets the handler once it has called it.
void RequestStopBySignal(int signal)
{
    RequestStop(StopCause::kInterrupt);
    std::signal(signal, RequestStopBySignal);
}

}  // namespace

void StopOnInterrupt()
{
    ClearStopRequests();
    ::SetConsoleCtrlHandler(RequestStopByConsole, TRUE);
    std::signal(SIGINT, RequestStopBySignal);
}

// A console write that stalls is not ended by Ctrl+C on Windows: the
// handler runs on its own thread and the write goes on.
InterruptibleWrite::InterruptibleWrite() = default;
InterruptibleWrite::~InterruptibleWrite() = default;

}  // namespace corvalt
