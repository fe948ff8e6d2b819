// Ctrl+C, SIGTERM and SIGHUP (a closed terminal, an ssh session gone) in a
// shell, and output that cannot be written: instead of ending the program
// where it stands, each asks the running sub-command to stop at its next
// safe point, so that no exchange with a reader is cut in two. This
// interface is the same on every system; how a system's interrupts reach
// it lives beside it (stop_request_posix.cpp, stop_request_windows.cpp).
#pragma once

namespace corvalt {

// From now on an interrupt requests a stop; none is requested yet.
void StopOnInterrupt();

// Why a stop is requested. Safe to call in a signal handler.
enum class StopCause {
    kInterrupt,     // Ctrl+C, SIGTERM, SIGHUP
    kOutputFailed,  // standard output or error could not be written
};
void RequestStop(StopCause cause);

// True once a stop is requested, for either cause.
bool StopRequested();
// True once an interrupt has requested a stop.
bool Interrupted();

// While one lives, an interrupt also ends a write of this thread that is
// blocked on a stalled pipe or terminal: the write returns what it wrote so
// far, or fails with EINTR, instead of waiting on. One begun after an
// interrupt came (while a swipe was read, say) waits a moment at most: on
// the thread that called StopOnInterrupt, the one that runs the
// sub-command.
// Outside one, reads, writes and ioctls the interrupt lands in go on, so
// that an exchange with a reader completes.
class InterruptibleWrite {
public:
    InterruptibleWrite();
    ~InterruptibleWrite();
    InterruptibleWrite(const InterruptibleWrite&) = delete;
    InterruptibleWrite& operator=(const InterruptibleWrite&) = delete;
};

// For a system's part: clears both causes.
void ClearStopRequests();

}  // namespace corvalt
