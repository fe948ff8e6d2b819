// The device-level queries of the HID class library, over an open HID host
// device: its identity and its parsed report descriptor. Kept under the
// library's names so the reader code reads like the calls it makes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/hid_host.h"
#include "platform/hidp.h"

struct HIDD_ATTRIBUTES {
    uint16_t VendorID;
    uint16_t ProductID;
    uint16_t VersionNumber;
};

// Fills VendorID, ProductID and VersionNumber; false when the device does not answer.
bool HidD_GetAttributes(corvalt::HidDevice& device, HIDD_ATTRIBUTES* attributes);

// Reads and parses the device's report descriptor. On success *data owns the
// result (hand it to a corvalt::UniquePreparsedData, or release it with
// HidD_FreePreparsedData); on failure it is untouched.
bool HidD_GetPreparsedData(corvalt::HidDevice& device, PHIDP_PREPARSED_DATA* data);
// The same; when the descriptor is refused, by the parser or as too long
// to be read, *whyRefused (when given) says why. A descriptor that cannot
// be read for another reason leaves it alone: the device failed, not its
// descriptor.
bool HidD_GetPreparsedData(corvalt::HidDevice& device, PHIDP_PREPARSED_DATA* data, std::string* whyRefused);
