// The titles and status lines the main window shows, word for word. The
// texts it shares with the command console are the console's
// (console/console_texts.h).
#pragma once

#include <string_view>

namespace corvalt {

inline constexpr std::string_view kTitle = "USB HID MSR Demo";
inline constexpr std::string_view kTitleSearching = "USB HID MSR Demo - Searching";
inline constexpr std::string_view kTitleHidMode = "USB HID MSR Demo - Hid Mode";
inline constexpr std::string_view kTitleKeyboardMode = "USB HID MSR Demo - Keyboard Mode";
inline constexpr std::string_view kTitleCommandMode = "USB HID MSR Demo - Command Mode";

inline constexpr std::string_view kStatusInitial = "Status:";
// The beginning of a status built around another text: the status of a
// reader the user may not open is kStatusPrefix and the console's
// kAccessDeniedAdvice.
inline constexpr std::string_view kStatusPrefix = "Status: ";
inline constexpr std::string_view kStatusAttachDevice = "Status: Attach Device...";
inline constexpr std::string_view kStatusSwipeCard = "Status: Swipe card...";
inline constexpr std::string_view kStatusProcessingData = "Status: Processing data...";
inline constexpr std::string_view kStatusReadyForReading = "Status: Ready For Reading Magnetic Card Data";
// The reading-mode transcript after a report that could not be decoded,
// followed by the decoder's message.
inline constexpr std::string_view kUndecodedReportPrefix = "The last card report could not be decoded: ";

// Standard error's one line when the window has no display to open on.
inline constexpr std::string_view kNoDisplay =
    "corvalt: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are unset or cannot be reached); "
    "corvalt-cli works without one";

// The About entry of the window's context menu.
inline constexpr std::string_view kAboutMenuEntry = "关于 Corvalt(&A)...";
inline constexpr std::string_view kAboutTitle = "关于 Corvalt";
// What a screen reader calls the About box's picture.
inline constexpr std::string_view kAboutIconName = "Corvalt icon";

// The context menu's entry that saves the transcript, and its file dialog.
inline constexpr std::string_view kSaveTranscriptMenuEntry = "Save Transcript As...";
inline constexpr std::string_view kSaveTranscriptTitle = "Save Transcript As";
inline constexpr std::string_view kSaveTranscriptFilter = "Text files (*.txt);;All files (*)";

}  // namespace corvalt
