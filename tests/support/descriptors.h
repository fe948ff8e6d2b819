// Report descriptors for tests that need a device, not a parser workout.
#pragma once

#include <cstdint>
#include <vector>

namespace corvalt::testing {

// A vendor-page device with one 8-bit input array of inputDataBytes and one
// 8-bit feature array of featureDataBytes, no report IDs: its caps lengths
// are one more than each (the id byte), 0 for a count of 0.
std::vector<uint8_t> VendorDescriptor(uint16_t inputDataBytes, uint16_t featureDataBytes);

}  // namespace corvalt::testing
