// Bytes as the console writes them: two upper-case hexadecimal digits. The
// normal form of a command, the panels' commands and the transcript's
// request and response lines all use it.
#pragma once

#include <cstdint>
#include <string>

namespace corvalt {

// Two upper-case hex digits.
std::string HexByte(uint8_t value);

// Appends one byte as a blank and two upper-case hex digits.
void AppendHexByte(std::string& line, uint8_t value);

}  // namespace corvalt
