// The error a HID host or device records when a call fails.
//
// The code and message are the system's own and only ever shown; what the
// layers above decide on is the kind, which every backend sets the same way
// whatever its system calls the failure.
#pragma once

#include <string>

namespace corvalt {

enum class HidErrorKind {
    None,          // the last call succeeded
    AccessDenied,  // the device exists but this user may not open it
    NotFound,      // no device at that path
    Gone,          // the device was there and has been unplugged
    Other,         // anything else: the message says what
};

struct HidError {
    HidErrorKind kind = HidErrorKind::None;
    int code = 0;  // the system's code (errno, or GetLastError() on Windows); 0 = none
    std::string message;
};

// An error from an errno value, its kind chosen from it: what the Linux
// backend and the simulated devices, which speak errno, record.
HidError ErrnoHidError(int code, std::string message);

}  // namespace corvalt
