// corvalt-cli run inside the test's process over a given host, with a clock
// that never waits but acts when its time comes: a swipe, an unplug, a
// Ctrl+C.
#pragma once

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <functional>
#include <map>
#include <sstream>
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

// The time of day when the test's clock starts: 2026-03-14T09:26:53.589Z.
inline const std::chrono::system_clock::time_point kWallClockStart{std::chrono::milliseconds(1773480413589)};

struct CliRun {
    int exitCode;
    std::string out;
    std::string err;
};

// Called before each write to standard output (toOut) or error, in the
// order the program writes: it may raise a signal, and returns 0 to let
// the write happen or the errno to fail it with.
using WriteHook = std::function<int(bool toOut)>;

// input: what standard input holds.
inline CliRun RunCli(HidHost& host, Clock& clock, std::vector<std::string> arguments, const std::string& input = "",
                     const WriteHook& hook = {})
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
    std::istringstream in(input);
    const auto wallClock = [&clock] { return kWallClockStart + std::chrono::milliseconds(clock.NowMs()); };
    CliEnvironment environment{host, clock, out, err, false, wallClock, &in};
    arguments.insert(arguments.begin(), "corvalt-cli");
    const int exitCode = RunCorvaltCli(arguments, environment);
    return {exitCode, outText, errText};
}

inline CliRun RunCli(HidHost& host, Clock& clock, std::vector<std::string> arguments, const WriteHook& hook)
{
    return RunCli(host, clock, std::move(arguments), "", hook);
}

// The request line the console writes for a command in normal form.
inline std::string RequestLine(const std::string& command)
{
    return "Request      : CMND=" + command.substr(0, 2) + ", DATA=" + command.substr(2) + "\n";
}

// How many of the text's lines begin with start.
inline size_t LinesStarting(const std::string& text, const std::string& start)
{
    size_t count = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        count += line.starts_with(start) ? 1 : 0;
    return count;
}

}  // namespace corvalt::testing
