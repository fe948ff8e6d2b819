// The two transcript lines of a command exchange: what was sent and what
// came back, with their labels' colons lined up with the delay lines'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "console/command_framing.h"
#include "reader/reader_connection.h"

namespace corvalt {

// How a request line starts.
inline constexpr std::string_view kRequestLabel = "Request      : ";

// "Request      : CMND=01, DATA= 10 00" from the framed report.
std::string FormatRequestLine(const FeatureReport& featureOut, size_t reportLength);

// "Response     : RC=00, DATA=", or the words for an exchange that failed.
std::string FormatResponseLine(ExchangeOutcome exchangeStatus, const FeatureReport& featureIn, size_t reportLength);

}  // namespace corvalt
