// Framing: a hex command in normal form becomes the outgoing feature report,
// report id 0, command byte, length byte, then the data bytes, zeros after.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/message_box.h"
#include "reader/reader_connection.h"

namespace corvalt {

using FeatureReport = std::array<uint8_t, kFeatureReportCapacity>;

// Reads the byte whose two digits start at cursor in a text in normal form
// and moves the cursor past it and its separator. False at the end of the
// text. A cursor of 0 starts over.
bool NextHexByte(const std::string& text, uint8_t& byte, size_t& cursor);

// "Data portion of message can't be longer than %d  bytes" for a report of
// reportLength bytes.
std::string DataTooLongMessage(size_t reportLength);

// Clears the first reportLength bytes of the report and frames the command
// into them. With autoAddLength the length byte counts the data bytes;
// without it the command's second byte is sent as the length byte, as
// typed. False when there is nothing to send: an empty text, a missing
// length byte, or more data than the report holds (which is said in a
// message box).
bool FrameCommand(const std::string& text, bool autoAddLength, FeatureReport& report, size_t reportLength,
                  MessageBox& messageBox);

}  // namespace corvalt
