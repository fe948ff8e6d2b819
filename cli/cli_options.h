// corvalt-cli's command line: every option is declared in cli_options.cpp,
// and whatever a run needs from them is a field of CliOptions.
//
//   corvalt-cli [--device PATH | --all] [--match VID:PID] [--virtual-reader[=PRODUCT_ID]] [--replay FILE]
//               SUB-COMMAND [options]
//
// The global options may also stand after the sub-command.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cli/matching_host.h"
#include "cli/panel_choices.h"

namespace corvalt {

enum class SubCommand { kList, kWatch, kSend, kRun, kSet, kRecord };

struct CliOptions {
    SubCommand subCommand = SubCommand::kList;
    std::string devicePath;               // --device; empty: the first reader discovery finds
    bool allReaders = false;              // --all: send, run or set on every supported reader
    uint16_t virtualReaderProductId = 0;  // --virtual-reader; 0 for none
    std::string replayPath;               // --replay: a recording to make a reader of; empty for none
    std::optional<IdMatch> match;         // --match: only the interfaces with these ids
    bool verbose = false;                 // list --verbose
    bool json = false;                    // list --json, watch --json
    int count = 0;                        // watch and record --count; 0 for none
    uint64_t timeoutMs = 0;               // watch and record --timeout; 0 for none
    std::string recordPath;               // record: the file, - for standard output
    bool autoAddLength = true;            // send without --raw: the length byte is computed
    std::string command;                  // send: its bytes in the console's normal form
    std::string scriptPath;               // run
    PanelChoices panels;                  // set
};

// The program ends at once: --help and --version (exit 0, the text to
// standard output) or a usage error (kExitUsage, the text to standard
// error).
struct CliExit {
    int exitCode = 0;
    std::string text;
};

// Parses the arguments, program name first.
std::variant<CliOptions, CliExit> ParseCliArguments(const std::vector<std::string>& arguments);

}  // namespace corvalt
