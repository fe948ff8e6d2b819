// The HID host of the system the program is built for: hidraw on Linux,
// SetupAPI and the system's HID library on Windows. Both front ends take
// their host from here.
#pragma once

#ifdef _WIN32
#include "platform/windows_hid_host.h"
#else
#include "platform/hidraw_host.h"
#endif

namespace corvalt {

#ifdef _WIN32
using SystemHidHost = WindowsHidHost;
#else
using SystemHidHost = HidrawHost;
#endif

}  // namespace corvalt
