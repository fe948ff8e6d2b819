// Bytes from a reader as text for a shell: each byte is the Latin-1
// character of its value, written in UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace corvalt {

// Every byte as its Latin-1 character, whatever its value.
std::string Latin1ToUtf8(std::string_view bytes);

// The card text for a terminal: CR LF as the shell's line end, and the
// other bytes as Latin-1 characters, except the control characters, which
// could move the cursor or change the terminal's settings: a zero byte
// becomes "␀" as in the window, the other C0 controls and DEL their symbols
// (U+2401 to U+2421), and 0x80 to 0x9F the replacement character U+FFFD.
std::string CardTextForShell(std::string_view bytes);

// Text from a device or the system (a device's name) for a terminal: any
// bytes that are not UTF-8 as U+FFFD, and the control characters shown as
// in the card text, so the text stays on its line.
std::string TextForShell(std::string_view text);

}  // namespace corvalt
