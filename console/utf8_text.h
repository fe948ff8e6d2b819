// Bytes from outside (a script file) made fit to show: valid UTF-8 stays as
// it is, every byte that does not belong to a valid sequence becomes the
// replacement character U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace corvalt {

std::string ToValidUtf8(std::string_view bytes);

}  // namespace corvalt
