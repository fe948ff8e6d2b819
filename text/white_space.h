// White space as the C locale knows it: blank, tab, line feed, vertical
// tab, form feed and carriage return, whatever the program's locale.
#pragma once

#include <string_view>

namespace corvalt {

bool IsWhiteSpace(char c);

// The text without the white space at either end.
std::string_view TrimWhiteSpace(std::string_view text);

}  // namespace corvalt
