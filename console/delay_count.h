// The seconds of a script delay: its count text read as a decimal integer.
#pragma once

#include <cstdint>
#include <string_view>

namespace corvalt {

// Optional white space, an optional "+" or "-", then decimal digits up to
// the first other character; 0 when no digit follows. A value beyond the
// 32-bit range gives the nearest end of that range.
int32_t DelayCount(std::string_view countText);

}  // namespace corvalt
