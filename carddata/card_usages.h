// Where a reader puts the fields of a card swipe: the usages of its input
// report on the vendor page, as the reader's report descriptor declares
// them. The decoder reads each field by its usage, and the virtual reader
// lays out its descriptor and builds its reports with the same ones.
#pragma once

#include <cstdint>

namespace corvalt {

inline constexpr uint16_t kCardDataPage = 0xFF00;

// Per track 1, 2, 3: bit 0 of the decode status set means the track could
// not be decoded; the length counts its characters; the data is an array.
inline constexpr uint16_t kTrackDecodeStatusUsages[3] = {0x20, 0x21, 0x22};
inline constexpr uint16_t kTrackLengthUsages[3] = {0x28, 0x29, 0x2A};
inline constexpr uint16_t kTrackDataUsages[3] = {0x30, 0x31, 0x32};

// The card encode type (low 8 bits) and the card status (bit 0: the swipe
// direction, set for insert).
inline constexpr uint16_t kEncodeTypeUsage = 0x38;
inline constexpr uint16_t kCardStatusUsage = 0x39;

// The sealed model's fields: the Stripeseal status, length and data, the
// reader's serial number (text, zero-padded) and its sequence counter.
inline constexpr uint16_t kStripesealStatusUsage = 0x23;
inline constexpr uint16_t kStripesealLengthUsage = 0x2B;
inline constexpr uint16_t kStripesealDataUsage = 0x33;
inline constexpr uint16_t kSerialNumberUsage = 0x40;
inline constexpr uint16_t kSequenceCounterUsage = 0x41;

// Not a card field: the feature report's array that carries commands and
// their answers. It has a usage of its own, which happens to share its
// number with track 1's decode status in the input report.
inline constexpr uint16_t kCommandDataUsage = 0x20;

}  // namespace corvalt
