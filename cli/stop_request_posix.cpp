// Interrupts on Linux: SIGINT, SIGTERM and SIGHUP request a stop.
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <iterator>
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
// The stop signals ignored when the run began, as nohup leaves SIGHUP and
// a shell leaves SIGINT for a background job: they stay ignored.
bool g_ignored[std::size(kStopSignals)] = {};

// The timer that ends a write begun after an interrupt, made for the
// thread that runs the sub-command; only while that thread writes does an
// interrupt set it going.
timer_t g_timer;
pid_t g_timerThread = 0;  // 0: none made
static_assert(std::atomic<bool>::is_always_lock_free);
std::atomic<bool> g_writing{false};

void SetDeadline(long nanoseconds)
{
    const itimerspec once = {{0, 0}, {0, nanoseconds}};
    ::timer_settime(g_timer, 0, &once, nullptr);  // safe in a signal handler
}

void RequestStopBySignal(int)
{
    const int error = errno;
    RequestStop(StopCause::kInterrupt);
    if (g_writing.load())
        SetDeadline(kStalledWriteGraceNs);
    errno = error;
}

void EndBlockedWrite(int) {}

// A timer whose signal reaches this thread alone.
void MakeTimerForThisThread()
{
    const pid_t thread = ::gettid();
    if (g_timerThread == thread)
        return;
    if (g_timerThread != 0)
        ::timer_delete(g_timer);
    sigevent event = {};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = kDeadlineSignal;
    event._sigev_un._tid = thread;  // sigev_notify_thread_id, which glibc 2.36 does not name
    g_timerThread = ::timer_create(CLOCK_MONOTONIC, &event, &g_timer) == 0 ? thread : 0;
}

// restart: whether a blocked call the signal lands in goes on (SA_RESTART)
// or returns at once.
void InstallHandlers(bool restart)
{
    struct sigaction action = {};
    action.sa_handler = RequestStopBySignal;
    action.sa_flags = restart ? SA_RESTART : 0;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(kStopSignals); ++i) {
        if (!g_ignored[i])
            sigaction(kStopSignals[i], &action, nullptr);
    }
}

void NoteIgnoredSignals()
{
    for (size_t i = 0; i < std::size(kStopSignals); ++i) {
        struct sigaction current = {};
        g_ignored[i] = sigaction(kStopSignals[i], nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
    }
}

}  // namespace

void StopOnInterrupt()
{
    ClearStopRequests();
    NoteIgnoredSignals();
    InstallHandlers(true);
    struct sigaction deadline = {};
    deadline.sa_handler = EndBlockedWrite;  // no SA_RESTART: the write returns
    sigemptyset(&deadline.sa_mask);
    sigaction(kDeadlineSignal, &deadline, nullptr);
    MakeTimerForThisThread();
    g_installed = true;
}

InterruptibleWrite::InterruptibleWrite()
{
    if (!g_installed)
        return;
    InstallHandlers(false);
    // An interrupt that has come, or comes before the write begins to wait,
    // will not come again to end it should it block: the timer does.
    if (g_timerThread != ::gettid())
        return;
    g_writing.store(true);
    if (Interrupted())
        SetDeadline(kStalledWriteGraceNs);
}

InterruptibleWrite::~InterruptibleWrite()
{
    if (g_writing.exchange(false))
        SetDeadline(0);  // disarmed
    if (g_installed)
        InstallHandlers(true);
}

}  // namespace corvalt
