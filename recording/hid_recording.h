// Recordings of a HID device in the text format of hid-tools' hid-recorder,
// which hid-decode and hid-replay read too, so a recording made here is
// read there and the other way round:
//
//   # a comment
//   N: the device's name
//   P: its physical path (kept out here)
//   I: bus vendor_id product_id, in hex
//   R: the report descriptor's length, then its bytes in hex
//   E: seconds.microseconds, the report's length, then its bytes in hex
//
// A report is written as the device sends it on the wire: with its id byte
// in front only when the descriptor declares report ids.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "text/result.h"

namespace corvalt {

inline constexpr uint16_t kUsbBus = 3;

struct RecordedReport {
    uint64_t microseconds = 0;  // since the recording started
    std::vector<uint8_t> bytes;
};

struct HidRecording {
    std::string name;
    uint16_t bus = kUsbBus;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::vector<uint8_t> descriptor;
    std::vector<RecordedReport> reports;
};

// The device's lines: N:, I: and R:.
std::string RecordingHeader(const HidRecording& recording);
// One report's E: line.
std::string RecordingEvent(const RecordedReport& report);

// Reads a recording of one device. A line that is not of the format, a
// second device, a length that does not match the bytes or a recording
// without I: or R: is refused with the line's number and what is wrong.
Result<HidRecording> ParseHidRecording(std::string_view text);

// The largest recording read: hours of swipes take a few megabytes.
inline constexpr size_t kRecordingFileLimit = size_t{64} << 20;

// The file read and parsed; a failure's reason starts with the file's name
// in quotes, so that it can follow "Cannot ... ".
Result<HidRecording> ReadHidRecordingFile(const std::filesystem::path& path);

}  // namespace corvalt
