// The hexadecimal words of `send`, as shell users type them: upper or lower
// case, each word with or without a 0x prefix, several words in one
// argument or one word to an argument.
#pragma once

#include <string>
#include <vector>

#include "text/result.h"

namespace corvalt {

// The command in the console's normal form: the bytes as pairs of upper-case
// hex digits separated by blanks. A word with an odd number of digits, or
// with anything but hex digits after its prefix, is refused by name.
Result<std::string> CommandFromHexWords(const std::vector<std::string>& arguments);

}  // namespace corvalt
