// The time of an event as the shell's tools stamp it: UTC, RFC 3339 with
// milliseconds, e.g. 2026-03-14T09:26:53.589Z.
#pragma once

#include <chrono>
#include <string>

namespace corvalt {

std::string Rfc3339Utc(std::chrono::system_clock::time_point time);

}  // namespace corvalt
