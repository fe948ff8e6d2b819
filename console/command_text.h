// The command language the operator types: hexadecimal bytes, or a delay
// in a script. Every command line is rewritten into one normal form before
// it is stored, framed or sent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvalt {

// The normal form of a command line: pairs of upper-case hex digits
// separated by single blanks (an odd digit count leaves a lone digit last),
// or "delay " followed by the rest of the line. Blanks typed anywhere carry
// no meaning. Empty when the line is not a command.
std::string ParseCommandLine(const std::string& text);

// A delay in normal form: "delay", a blank, then its count text as typed.
bool IsDelayCommand(std::string_view normal);
std::string_view DelayCountText(std::string_view normal);

uint8_t HexPairToByte(const std::string& text);  // empty or one-character text: missing characters count as 0

}  // namespace corvalt
