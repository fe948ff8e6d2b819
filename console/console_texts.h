// The command console's messages, status lines and transcript words, word
// for word.
#pragma once

#include <string_view>

namespace corvalt {

inline constexpr std::string_view kFatalErrorPrefix = "Fatal Error - ";
inline constexpr std::string_view kAttachDevice = "Attach device before sending commands";

inline constexpr std::string_view kStatusSendingConfiguration = "Status: Send Configuration Command...";
inline constexpr std::string_view kStatusReadyToSendCommand = "Status: Ready To Send Command...";
inline constexpr std::string_view kStatusNoCommandsFound = "No commands found in file";

inline constexpr std::string_view kLineBreak = "\r\n";
inline constexpr std::string_view kDelayLabel = "Delay        :";
inline constexpr std::string_view kFinishedDownloading = "Finished downloading";
inline constexpr std::string_view kDownloadEnd = "---";

}  // namespace corvalt
