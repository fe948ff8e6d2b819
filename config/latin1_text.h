// The reader takes sentinels as 8-bit characters; the window's texts are
// UTF-8. Characters from U+0000 to U+00FF become their own byte; any other
// character, and any byte that is not part of a well-formed UTF-8 sequence,
// becomes "?".
#pragma once

#include <string>
#include <string_view>

namespace corvalt {

struct Latin1Text {
    std::string bytes;  // one byte per character
    bool exact = true;  // false when some character had to become "?"
};

Latin1Text ToLatin1(std::string_view utf8);

}  // namespace corvalt
