// corvalt-cli: the reader engine of corvalt's window from a shell, without
// Qt. main() hands it the system's HID host and clock and the standard
// streams; the tests hand it simulated ones.
#pragma once

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
};

// Runs the command line, program name first; returns the exit status. A
// write to out that failed makes it kExitFailure, with a line on err that
// says why, or kExitBrokenPipe, quietly.
int RunCorvaltCli(const std::vector<std::string>& arguments, CliEnvironment& environment);

}  // namespace corvalt
