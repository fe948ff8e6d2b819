// The command console's messages, status lines and transcript words, word
// for word. The window shows the reader advice and the ready status too,
// from here.
#pragma once

#include <string_view>

namespace corvalt {

inline constexpr std::string_view kFatalErrorPrefix = "Fatal Error - ";
inline constexpr std::string_view kAttachDevice = "Attach device before sending commands";
// The reader is open but declares no feature report to carry a command.
inline constexpr std::string_view kUnableToInitialize = "Unable to initialize the USB MSR";
// A reader is attached but may not be opened: on Linux no udev rule for it
// yet; on Windows, where every user may open a reader, another program
// holds it open for itself. The second line of kAttachDevice's box, and
// the reading mode's status after "Status: ".
#ifdef _WIN32
inline constexpr std::string_view kAccessDeniedAdvice =
    "Reader found, but access to it was denied - close the program that holds it open";
#else
inline constexpr std::string_view kAccessDeniedAdvice =
    "Reader found, but access to it was denied - install the udev rule (see README)";
#endif

// A delay typed into the command edit and sent.
inline constexpr std::string_view kDelayIsNoCommand = "A delay is a line of a command script, not a command to send";

inline constexpr std::string_view kStatusSendingConfiguration = "Status: Send Configuration Command...";
// After a download, and when the window enters command mode.
inline constexpr std::string_view kStatusReadyToSendCommand = "Status: Ready To Send Command...";
inline constexpr std::string_view kStatusNoCommandsFound = "No commands found in file";

inline constexpr std::string_view kLineBreak = "\r\n";
inline constexpr std::string_view kDelayLabel = "Delay        :";
// After a request line whose command was not sent: the mode was switched
// or the window closed while the line was shown.
inline constexpr std::string_view kNotSentLine = "Not sent     : stopped before it reached the reader";
inline constexpr std::string_view kFinishedDownloading = "Finished downloading";
inline constexpr std::string_view kDownloadEnd = "---";

// A download that stops before the end of its list says so in one line:
// kStoppedLabel, " after command 3 of 255, " and the reason.
inline constexpr std::string_view kStoppedLabel = "Stopped      :";
inline constexpr std::string_view kStoppedNoReader = "no usable reader";
// A download gives up after this many failed exchanges in a row; the two
// texts below name the number.
inline constexpr int kFailedExchangesToGiveUp = 3;
inline constexpr std::string_view kStoppedFailedExchanges = "3 exchanges failed in a row";
inline constexpr std::string_view kGaveUpMessage = "Download stopped: the reader failed 3 exchanges in a row";

}  // namespace corvalt
