// corvalt-cli run inside the test's process over a given host, with a clock
// that never waits but acts when its time comes: a swipe, an unplug, a
// Ctrl+C.
#pragma once

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cli/cli_texts.h"
#include "cli/corvalt_cli.h"
#include "platform/clock.h"

namespace corvalt::testing {

class ScriptedClock final : public Clock {
public:
    uint64_t NowMs() const override { return m_now; }
    void Sleep(uint32_t milliseconds) override
    {
        m_now += milliseconds;
        while (!m_actions.empty() && m_actions.begin()->first <= m_now) {
            const std::function<void()> action = m_actions.begin()->second;
            m_actions.erase(m_actions.begin());
            action();
        }
    }
    void At(uint64_t ms, std::function<void()> action) { m_actions.emplace(ms, std::move(action)); }
    void InterruptAt(uint64_t ms)
    {
        At(ms, [] { std::raise(SIGINT); });
    }

private:
    uint64_t m_now = 0;
    std::multimap<uint64_t, std::function<void()>> m_actions;
};

struct CliRun {
    int exitCode;
    std::string out;
    std::string err;
};

// Called before each write to standard output (toOut) or error, in the
// order the program writes: it may raise a signal, and returns 0 to let
// the write happen or the errno to fail it with.
using WriteHook = std::function<int(bool toOut)>;

inline CliRun RunCli(HidHost& host, Clock& clock, std::vector<std::string> arguments, const WriteHook& hook = {})
{
    std::string outText, errText;
    const auto into = [&hook](std::string& text, bool toOut) {
        return [&hook, &text, toOut](const char* bytes, size_t count) -> long {
            if (const int error = hook ? hook(toOut) : 0; error != 0) {
                errno = error;
                return -1;
            }
            text.append(bytes, count);
            return static_cast<long>(count);
        };
    };
    ShellOutput out(kStandardOutput, into(outText, true)), err(kStandardError, into(errText, false));
    CliEnvironment environment{host, clock, out, err, false};
    arguments.insert(arguments.begin(), "corvalt-cli");
    const int exitCode = RunCorvaltCli(arguments, environment);
    return {exitCode, outText, errText};
}

// The request line the console writes for a command in normal form.
inline std::string RequestLine(const std::string& command)
{
    return "Request      : CMND=" + command.substr(0, 2) + ", DATA=" + command.substr(2) + "\n";
}

}  // namespace corvalt::testing
