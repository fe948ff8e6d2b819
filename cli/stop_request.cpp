#include "cli/stop_request.h"

#include <atomic>

namespace corvalt {

namespace {

// Set in a signal handler (or, elsewhere, on another thread): lock-free
// atomics are safe in both.
static_assert(std::atomic<bool>::is_always_lock_free);
std::atomic<bool> g_interrupted{false};
std::atomic<bool> g_outputFailed{false};

}  // namespace

void RequestStop(StopCause cause)
{
    (cause == StopCause::kInterrupt ? g_interrupted : g_outputFailed).store(true);
}

bool StopRequested()
{
    return g_interrupted.load() || g_outputFailed.load();
}

bool Interrupted()
{
    return g_interrupted.load();
}

void ClearStopRequests()
{
    g_interrupted.store(false);
    g_outputFailed.store(false);
}

}  // namespace corvalt
