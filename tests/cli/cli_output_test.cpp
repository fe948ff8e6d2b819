// corvalt-cli when its output cannot be written and when an interrupt
// comes while it writes: what reaches the reader, what is printed, and the
// exit status.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <system_error>
#include <thread>

#include "cli/cli_texts.h"
#include "cli/shell_output.h"
#include "tests/cli/cli_run.h"
#include "tests/support/fake_hid_host.h"
#include "virtualreader/sample_cards.h"

namespace corvalt {
namespace {

using testing::CliRun;
using testing::LinesStarting;

std::string ThreeCommandScript()
{
    const std::string path = ::testing::TempDir() + "cli_output_test_script.txt";
    std::ofstream(path, std::ios::binary) << "01;\n02;\n03;\n";
    return path;
}

std::string CannotWrite(int code)
{
    return std::string(kCannotWrite) + std::string(kStandardOutput) + ": " + std::generic_category().message(code) +
           "\n";
}

// Standard output on /dev/full, closed, or a pipe whose reader has gone:
// the first failed write ends the run, quietly for the broken pipe.
TEST(CliOutputTest, AFailedWriteEndsTheRunBeforeAnythingMoreReachesAReader)
{
    const std::string script = ThreeCommandScript();
    const struct {
        std::vector<std::string> arguments;
        int error;
        int exitCode;
        std::string err;      // its end
        size_t commandsSent;  // before the first write, or while it is under way
    } cases[] = {
        {{"list"}, ENOSPC, 1, CannotWrite(ENOSPC), 0},
        {{"run", script}, ENOSPC, 1, CannotWrite(ENOSPC), 0},
        {{"run", script}, EPIPE, kExitBrokenPipe, "", 0},
        {{"set", "--tracks", "1,2", "--error-string", "off"}, EBADF, 1, CannotWrite(EBADF), 1},
        {{"send", "02"}, EPIPE, kExitBrokenPipe, "", 1},
        {{"watch"}, EPIPE, kExitBrokenPipe, "", 0},
        {{"watch", "--json"}, ENOSPC, 1, CannotWrite(ENOSPC), 0},
        {{"record", "-", "--count", "1"}, ENOSPC, 1, CannotWrite(ENOSPC), 0},
    };
    for (const auto& c : cases) {
        testing::ScriptedClock clock;
        testing::FakeHidHost host;
        const auto reader = std::make_shared<VirtualReader>(0x0002, clock);
        const auto device = host.AddReader("/dev/hidraw0", reader);
        // Two swipes for a watch: the second must not be read.
        clock.At(2000, [&] { reader->Swipe(SampleCards()[0].swipe); });
        clock.At(4000, [&] { reader->Swipe(SampleCards()[0].swipe); });
        clock.InterruptAt(6000);
        const CliRun run = testing::RunCli(host, clock, c.arguments, [&](bool toOut) { return toOut ? c.error : 0; });
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments[0] << " " << c.error;
        // A watch has told what it waits for first.
        EXPECT_TRUE(run.err.ends_with(c.err)) << run.err;
        EXPECT_EQ(run.err.find(kCannotWrite) != std::string::npos, !c.err.empty()) << run.err;
        // One line tells of the failure.
        EXPECT_EQ(run.err.find("writ"), run.err.rfind("writ")) << run.err;
        EXPECT_EQ(device->featuresSent.size(), c.commandsSent) << c.arguments[0];
        if (c.arguments[0] == "watch") {
            EXPECT_LT(clock.NowMs(), 4000u) << "read on after the failed write";
        }
    }
}

// Ctrl+C, SIGTERM or SIGHUP while any line is being written: no command
// goes out after it, and every request line printed is a command sent and
// answered.
TEST(CliOutputTest, AnInterruptAtAnyWriteStopsBeforeTheNextCommand)
{
    const std::string script = ThreeCommandScript();
    const std::vector<std::vector<std::string>> runs = {
        {"run", script}, {"set", "--tracks", "1,2", "--error-string", "off"}, {"send", "02"}};
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        for (const std::vector<std::string>& arguments : runs) {
            int writes = 0;
            {
                testing::ScriptedClock clock;
                testing::FakeHidHost host;
                host.AddReader("/dev/hidraw0", std::make_shared<VirtualReader>(0x0002, clock));
                ASSERT_EQ(testing::RunCli(host, clock, arguments, [&](bool) { return ++writes, 0; }).exitCode, 0);
            }
            for (int interruptedWrite = 0; interruptedWrite < writes; ++interruptedWrite) {
                testing::ScriptedClock clock;
                testing::FakeHidHost host;
                const auto device = host.AddReader("/dev/hidraw0", std::make_shared<VirtualReader>(0x0002, clock));
                int write = 0;
                size_t sentAtSignal = 0;
                const CliRun run = testing::RunCli(host, clock, arguments, [&](bool) {
                    if (write++ == interruptedWrite) {
                        sentAtSignal = device->featuresSent.size();
                        std::raise(signal);
                    }
                    return 0;
                });
                const std::string where = arguments[0] + " at write " + std::to_string(interruptedWrite) + ", signal " +
                                          std::to_string(signal);
                EXPECT_EQ(run.exitCode, 1) << where;
                EXPECT_EQ(device->featuresSent.size(), sentAtSignal) << where;
                EXPECT_EQ(LinesStarting(run.out, "Request"), sentAtSignal) << where << "\n" << run.out;
                EXPECT_EQ(LinesStarting(run.out, "Response     : RC=00"), sentAtSignal) << where;
                EXPECT_TRUE(run.err.ends_with(std::string(kStoppedByInterrupt) + "\n")) << where << ": " << run.err;
            }
        }
    }
}

// Started under nohup, SIGHUP ignored: a hang-up at every write leaves the
// run going to its end, while Ctrl+C still stops it.
TEST(CliOutputTest, ASignalIgnoredWhenTheRunBeginsStaysIgnored)
{
    const std::string script = ThreeCommandScript();
    std::signal(SIGHUP, SIG_IGN);
    for (const int signal : {SIGHUP, SIGINT}) {
        testing::ScriptedClock clock;
        testing::FakeHidHost host;
        const auto device = host.AddReader("/dev/hidraw0", std::make_shared<VirtualReader>(0x0002, clock));
        const CliRun run = testing::RunCli(host, clock, {"run", script}, [&](bool) { return std::raise(signal), 0; });
        EXPECT_EQ(run.exitCode, signal == SIGHUP ? 0 : 1) << signal;
        EXPECT_EQ(device->featuresSent.size(), signal == SIGHUP ? 3U : 0U) << signal;
    }
    std::signal(SIGHUP, SIG_DFL);
}

// A watch whose reader of standard output has stalled, blocked in write():
// SIGINT or SIGTERM ends it at once, not when the pipe drains, whether it
// comes while the write waits or just before the write begins (while the
// swipe was being read).
TEST(CliOutputTest, AnInterruptEndsAWatchBlockedOnItsOutput)
{
    using namespace std::chrono_literals;
    for (const bool beforeTheWrite : {false, true}) {
        for (const int signal : {SIGINT, SIGTERM}) {
            int pipeEnds[2];
            ASSERT_EQ(::pipe2(pipeEnds, O_NONBLOCK), 0);
            const std::string page(4096, 'x');
            while (::write(pipeEnds[1], page.data(), page.size()) > 0) {
            }
            ::fcntl(pipeEnds[1], F_SETFL, 0);  // full, and blocking again

            testing::ScriptedClock clock;
            testing::FakeHidHost host;
            const auto reader = std::make_shared<VirtualReader>(0x0002, clock);
            host.AddReader("/dev/hidraw0", reader);
            clock.At(2000, [&] { reader->Swipe(SampleCards()[0].swipe); });
            std::atomic<bool> writing = false;
            std::chrono::steady_clock::time_point interrupted;
            const pthread_t watching = ::pthread_self();
            ShellOutput out(kStandardOutput, [&](const char* bytes, size_t count) {
                if (beforeTheWrite && !writing) {
                    interrupted = std::chrono::steady_clock::now();
                    ::pthread_kill(watching, signal);
                }
                writing = true;
                return static_cast<long>(::write(pipeEnds[1], bytes, count));
            });
            ShellOutput err(kStandardError, [](const char*, size_t count) { return static_cast<long>(count); });
            CliEnvironment environment{host, clock, out, err, false, {}, nullptr};

            std::atomic<bool> ended = false;
            std::thread interrupter([&] {
                // Otherwise the signal comes once the swipe's write has waited
                // for a while.
                while (!writing)
                    std::this_thread::sleep_for(10ms);
                std::this_thread::sleep_for(200ms);
                if (!beforeTheWrite) {
                    interrupted = std::chrono::steady_clock::now();
                    ::pthread_kill(watching, signal);
                }
                // Should the write wait on, the pipe drains after 3 s and the test ends.
                for (int i = 0; i < 300 && !ended; ++i)
                    std::this_thread::sleep_for(10ms);
                char drained[4096];
                while (!ended)
                    if (::read(pipeEnds[0], drained, sizeof drained) <= 0)
                        std::this_thread::sleep_for(10ms);
            });
            const int exitCode = RunCorvaltCli({"corvalt-cli", "watch"}, environment);
            const auto ending = std::chrono::steady_clock::now();
            ended = true;
            interrupter.join();
            ::close(pipeEnds[0]);
            ::close(pipeEnds[1]);
            EXPECT_EQ(exitCode, 0);
            EXPECT_LT(ending - interrupted, 2s) << "signal " << signal << (beforeTheWrite ? " before the write" : "");
        }
    }
}

}  // namespace
}  // namespace corvalt
