// Interrupts on Linux: SIGINT, SIGTERM and SIGHUP request a stop.
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>

#include "cli/stop_request.h"

namespace corvalt {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// How long a write begun after an interrupt may wait for a stalled output;
// a terminal or a pipe that is read takes a line at once.
constexpr long kStalledWriteGraceNs = 200'000'000;
// Ends that write: the signal's arrival is all it does.
constexpr int kDeadlineSignal = SIGALRM;

bool g_installed = false;

// The timer of the write under way, if any: an interrupt that comes
// before the write has begun to wait sets it going.
static_assert(std::atomic<void*>::is_always_lock_free);
std::atomic<void*> g_deadline{nullptr};

void StartDeadline(void* timer)
{
    const itimerspec once = {{0, 0}, {0, kStalledWriteGraceNs}};
    ::timer_settime(static_cast<timer_t>(timer), 0, &once, nullptr);  // safe in a signal handler
}

void RequestStopBySignal(int)
{
    const int error = errno;
    RequestStop(StopCause::kInterrupt);
    if (void* timer = g_deadline.load())
        StartDeadline(timer);
    errno = error;
}

void EndBlockedWrite(int) {}

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
    struct sigaction deadline = {};
    deadline.sa_handler = EndBlockedWrite;  // no SA_RESTART: the write returns
    sigemptyset(&deadline.sa_mask);
    sigaction(kDeadlineSignal, &deadline, nullptr);
    g_installed = true;
}

InterruptibleWrite::InterruptibleWrite()
{
    if (!g_installed)
        return;
    InstallHandlers(false);
    // An interrupt that has come, or comes before the write begins to wait,
    // will not come again to end it should it block: a timer of this
    // thread's own does.
    sigevent event = {};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = kDeadlineSignal;
    event._sigev_un._tid = ::gettid();  // sigev_notify_thread_id, which glibc 2.36 does not name
    timer_t timer;
    if (::timer_create(CLOCK_MONOTONIC, &event, &timer) != 0)
        return;
    m_deadline = timer;
    g_deadline.store(timer);
    if (Interrupted())
        StartDeadline(timer);
}

InterruptibleWrite::~InterruptibleWrite()
{
    if (m_deadline != nullptr) {
        g_deadline.store(nullptr);
        ::timer_delete(static_cast<timer_t>(m_deadline));
    }
    if (g_installed)
        InstallHandlers(true);
}

}  // namespace corvalt
