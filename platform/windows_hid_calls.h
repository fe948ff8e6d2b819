// The calls the Windows HID host makes into the system's HID library
// (hid.dll), behind types of our own. The system's headers declare the
// names of hidp.h and hidd.h again, with other types, so they are included
// only in windows_hid_calls.cpp, which includes neither of ours.
//
// Each call that fails leaves its reason in GetLastError().
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/hid_host.h"
#include "platform/system_parse.h"

namespace corvalt::windows_hid {

using Handle = void*;  // a HANDLE opened on a HID device interface

// The interface class of HID devices, as SetupAPI lists them (a GUID's 16 bytes).
void GetInterfaceClass(void* guid);

bool GetAttributes(Handle device, HidAttributes& attributes);

// Feature reports: report[0] is the report id; the system wants the whole
// report, length as its parse says.
bool SetFeature(Handle device, const uint8_t* report, size_t length);
bool GetFeature(Handle device, uint8_t* report, size_t length);

// The system's parse of the device's report descriptor; nullptr when it
// cannot be had.
std::unique_ptr<SystemParse> GetSystemParse(Handle device);

}  // namespace corvalt::windows_hid
