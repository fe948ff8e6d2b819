// Text from a reader, a card or a file as a shell shows it. Control
// characters could move the cursor, forge lines or change the terminal's
// settings, so they are shown as pictures: a zero byte becomes "␀" as in
// the window, the other C0 controls (CR and LF among them) and DEL their
// symbols (U+2401 to U+2421), and the C1 controls (U+0080 to U+009F) the
// replacement character U+FFFD.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "carddata/card_data.h"

namespace corvalt {

// Every byte as its Latin-1 character, whatever its value, in UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);

// Bytes from a card or a reader: each byte as its Latin-1 character, the
// control characters as pictures.
std::string BytesForShell(std::string_view bytes);

// A line of UTF-8 text: the control characters as pictures, and bytes that
// belong to no well-formed sequence as U+FFFD.
std::string TextForShell(std::string_view text);

// Lines separated by CR LF, as the window's texts have them: each through
// TextForShell, ended by the shell's line end but the last.
std::string LinesForShell(std::string_view text);

// The window's card text for a swipe: its lines ended by the shell's line
// end, and the card's and the reader's bytes in them through BytesForShell.
std::string CardTextForShell(const CardData& card, uint16_t productId);

}  // namespace corvalt
