// corvalt-cli: the reader engine of corvalt's window from a shell, without
// Qt. main() hands it the system's HID host and clock and the standard
// streams; the tests hand it simulated ones.
#pragma once

#include <chrono>
#include <functional>
#include <istream>
#include <string>
#include <vector>

#include "cli/shell_output.h"
#include "platform/clock.h"
#include "platform/hid_host.h"

namespace corvalt {

struct CliEnvironment {
    HidHost& systemHost;
    Clock& clock;
    ShellOutput& out;
    ShellOutput& err;
    bool errIsTerminal = false;
    // The time of day; empty for the system's.
    std::function<std::chrono::system_clock::time_point()> wallClock;
    // Standard input: a script (run -) or swipes (watch --virtual-reader);
    // none reads as empty.
    std::istream* in = nullptr;
};

// Runs the command line, program name first; returns the exit status. A
// write to out that failed makes it kExitFailure, with a line on err that
// says why, or kExitBrokenPipe, quietly.
int RunCorvaltCli(const std::vector<std::string>& arguments, CliEnvironment& environment);

}  // namespace corvalt
