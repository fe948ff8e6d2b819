#include "tests/support/descriptors.h"

namespace corvalt::testing {

namespace {

void AppendArray(std::vector<uint8_t>& d, uint8_t usage, uint16_t count, uint8_t mainItem)
{
    if (count == 0)
        return;
    d.insert(d.end(),
             {
                 0x96, static_cast<uint8_t>(count & 0xFF), static_cast<uint8_t>(count >> 8),  // Report Count (count)
                 0x09, usage,                                                                 // Usage (usage)
                 mainItem, 0x02,  // Input/Feature (Data,Var,Abs)
             });
}

}  // namespace

std::vector<uint8_t> VendorDescriptor(uint16_t inputDataBytes, uint16_t featureDataBytes)
{
    std::vector<uint8_t> d = {
        0x06, 0x00, 0xFF,  // Usage Page (Vendor 0xFF00)
        0x09, 0x01,        // Usage (0x01)
        0xA1, 0x01,        // Collection (Application)
        0x15, 0x00,        //   Logical Minimum (0)
        0x26, 0xFF, 0x00,  //   Logical Maximum (255)
        0x75, 0x08,        //   Report Size (8)
    };
    AppendArray(d, 0x30, inputDataBytes, 0x81);    // Input: the card data
    AppendArray(d, 0x20, featureDataBytes, 0xB1);  // Feature: commands and answers
    d.push_back(0xC0);                             // End Collection
    return d;
}

}  // namespace corvalt::testing
