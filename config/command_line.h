// The panels write their commands in the console's normal form: bytes as two
// upper-case hex digits separated by single blanks, the command code first
// and no length byte (the download adds it).
#pragma once

#include <cstdint>
#include <string>

namespace corvalt {

// Appends one byte as a blank and two upper-case hex digits.
void AppendHexByte(std::string& line, uint8_t value);

}  // namespace corvalt
