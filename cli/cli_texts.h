// What corvalt-cli says in its own words. The texts it shares with the
// window (the console's messages, the card text, the statuses) come from
// their own homes.
#pragma once

#include <string_view>

namespace corvalt {

// Exit statuses.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // a reader or an exchange failed
inline constexpr int kExitUsage = 2;    // the command line is wrong
// Standard output or error is a pipe whose reader has gone: the status a
// shell gives a program that SIGPIPE ended, as it ends other tools.
inline constexpr int kExitBrokenPipe = 128 + 13;

// --device's help: the path as the system's HID host lists it.
#ifdef _WIN32
inline constexpr std::string_view kDeviceOptionHelp =
    "The reader at this HID interface path, as list shows it, e.g. \\\\?\\hid#vid_0801&pid_0002#...";
#else
inline constexpr std::string_view kDeviceOptionHelp = "The reader at this hidraw node, e.g. /dev/hidraw3";
#endif

// The end of --help.
inline constexpr std::string_view kHelpFooter =
    "The global options may stand before or after the sub-command. --all runs send, run or set\n"
    "on every supported reader attached, one after the other, each block headed by its path;\n"
    "list, watch and record take no --all (a usage error), and --all and --device exclude each\n"
    "other. --match VID:PID narrows every sub-command to the interfaces with those ids.\n"
    "\n"
    "Exit status: 0 success (also when Ctrl+C ends watch or record), 1 a reader or exchange failure\n"
    "(no usable reader, a command refused or not answered, a script that cannot be read or\n"
    "whose download stopped early, a stop by Ctrl+C, a --count not reached in its --timeout),\n"
    "2 a usage error.";

// The heading of each reader's block with --all: the prefix and the path.
inline constexpr std::string_view kReaderBlockPrefix = "== ";

// list: whether an interface is a reader this program drives, and whether
// it can be opened.
inline constexpr std::string_view kSupportedReader = "supported reader";
inline constexpr std::string_view kNotSupported = "not a supported reader";
inline constexpr std::string_view kHidMode = "HID mode";
inline constexpr std::string_view kKeyboardMode = "keyboard mode";
inline constexpr std::string_view kCanBeOpened = "can be opened";
inline constexpr std::string_view kQueriesOnly = "can be opened for queries only";
inline constexpr std::string_view kCannotBeOpened = "cannot be opened: ";
inline constexpr std::string_view kUnknownIds = "????:????";
inline constexpr std::string_view kDescriptorRefused = "report descriptor refused: ";
inline constexpr std::string_view kNotListed = " is not among the HID interfaces the system lists";

// run - reads its script from standard input, record - writes to standard
// output.
inline constexpr std::string_view kStandardStreamPath = "-";
inline constexpr std::string_view kStandardInputName = "standard input";

// Before each line on standard error.
inline constexpr std::string_view kErrorPrefix = "corvalt-cli: ";

// --device names a node that is not a reader this program drives, or none.
inline constexpr std::string_view kNotASupportedReader = " is not a supported reader";
inline constexpr std::string_view kNoSuchDevice = ": no such device";
inline constexpr std::string_view kWaitingForReaderAt = "waiting for a reader to appear at ";

// watch: what it waits for, on standard error.
inline constexpr std::string_view kReadingSwipesFrom = "Reading swipes from ";
inline constexpr std::string_view kKeyboardModeReader =
    " is in keyboard mode: it types each swipe as keystrokes, which are not read here"
    " (corvalt-cli set --interface hid switches it to HID mode)";

// record: what it says, and the comment at the top of its file.
inline constexpr std::string_view kNoReaderToRecord = "No supported reader to record";
inline constexpr std::string_view kRecordingFrom = "Recording ";
inline constexpr std::string_view kRecordingNotWritten = "The recording could not be written";
inline constexpr std::string_view kRecordingComment = "# recorded by corvalt-cli from ";

// A write to standard output that failed: the prefix, the stream's name,
// then ": " and the system's words for the error.
inline constexpr std::string_view kCannotWrite = "Cannot write to ";
inline constexpr std::string_view kStandardOutput = "standard output";
inline constexpr std::string_view kStandardError = "standard error";

// send, run and set: Ctrl+C, SIGTERM or SIGHUP stopped the run.
inline constexpr std::string_view kStoppedByInterrupt = "Stopped by an interrupt: nothing more is sent";

}  // namespace corvalt
