#include "console/command_framing.h"

#include <algorithm>
#include <cstdio>

#include "console/command_text.h"

namespace corvalt {

namespace {

constexpr size_t kHeaderBytes = 3;  // report id, command, length
constexpr size_t kCommandByte = 1;
constexpr size_t kLengthByte = 2;
constexpr size_t kTokenStride = 3;  // two digits and a blank

}  // namespace

bool NextHexByte(const std::string& text, uint8_t& byte, size_t& cursor)
{
    if (cursor >= text.size())
        return false;
    byte = HexPairToByte(text.substr(cursor, 2));
    cursor += kTokenStride;
    return true;
}

std::string DataTooLongMessage(size_t reportLength)
{
    // A report too short for any data allows none, not a negative count.
    const size_t room = reportLength > kHeaderBytes ? reportLength - kHeaderBytes : 0;
    char text[80];
    std::snprintf(text, sizeof text, "Data portion of message can't be longer than %zu  bytes", room);
    return text;
}

bool FrameCommand(const std::string& text, bool autoAddLength, FeatureReport& report, size_t reportLength,
                  MessageBox& messageBox)
{
    reportLength = std::min(reportLength, report.size());
    std::fill_n(report.begin(), reportLength, uint8_t{0});

    size_t cursor = 0;
    uint8_t byte = 0;
    if (!NextHexByte(text, byte, cursor))
        return false;
    report[kCommandByte] = byte;

    if (!autoAddLength) {
        if (!NextHexByte(text, byte, cursor))
            return false;
        report[kLengthByte] = byte;
    }

    size_t next = kHeaderBytes;
    while (NextHexByte(text, byte, cursor)) {
        if (next >= reportLength) {
            messageBox.Show(DataTooLongMessage(reportLength));
            return false;
        }
        report[next++] = byte;
    }
    if (autoAddLength)
        report[kLengthByte] = static_cast<uint8_t>(next - kHeaderBytes);
    return true;
}

}  // namespace corvalt
