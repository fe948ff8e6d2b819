// corvalt-cli send, run and set: the command console's send, its script
// download and the panels' downloads, on one reader or, with --all, on
// every supported reader in turn.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "platform/clock.h"
#include "platform/hid_host.h"
#include "text/result.h"

namespace corvalt {

struct ShellStreams {
    std::ostream& out;        // the transcript
    std::ostream& err;        // the console's messages
    std::ostream& countdown;  // standard error as it is, for a delay's countdown
    bool errIsTerminal;       // the countdown is shown only on a terminal
};

// What the sub-command does on a reader: sends a command, plays a script
// (read from its path unless it was read already),
// or sends the panels' downloads given here.
struct ReaderWork {
    SubCommand subCommand;
    bool autoAddLength;
    std::string command;
    std::string scriptPath;
    std::optional<Result<std::string>> script;  // a script read already, from standard input
    std::vector<std::vector<std::string>> downloads;
};

// Runs the work on the reader discovery finds over the host (one reader,
// or none), or with allReaders on each supported reader it lists, one
// after the other. Returns the exit status: kExitFailure when a reader was
// missing, a command was refused or not answered, or a stop was requested.
int RunOnReaders(HidHost& host, Clock& clock, bool allReaders, const ReaderWork& work, ShellStreams& streams);

}  // namespace corvalt
