// Recordings in hid-recorder's text format, and the reader replayed from one.
#include <gtest/gtest.h>

#include <optional>

#include "recording/hid_recording.h"
#include "recording/replayed_reader_host.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_hid_host.h"

namespace corvalt {
namespace {

using Bytes = std::vector<uint8_t>;

// Written by hand from the format's description: comments, the device
// index of a one-device recording, a physical path, and CR LF line ends.
constexpr std::string_view kHandWritten =
    "# a card reader, one swipe\r\n"
    "D: 0\r\n"
    "R: 21 06 00 ff 09 01 a1 01 15 00 26 ff 00 75 08 95 04 09 20 81 02 c0\r\n"
    "N: Some Reader Inc. MSR\r\n"
    "P: usb-0000:00:14.0-2/input0\r\n"
    "I: 3 0801 0002\r\n"
    "\r\n"
    "E: 000001.250000 4 3b 31 3f 00\r\n"
    "E: 000002.000001 4 AA bb cc dd\r\n";

TEST(HidRecordingTest, ReadsAHandWrittenRecording)
{
    const Result<HidRecording> read = ParseHidRecording(kHandWritten);
    ASSERT_TRUE(read.Succeeded()) << read.m_reason;
    const HidRecording& recording = read.m_value;
    EXPECT_EQ(recording.name, "Some Reader Inc. MSR");
    EXPECT_EQ(recording.bus, 3);
    EXPECT_EQ(recording.vendorId, 0x0801);
    EXPECT_EQ(recording.productId, 0x0002);
    EXPECT_EQ(recording.descriptor.size(), 21u);
    ASSERT_EQ(recording.reports.size(), 2u);
    EXPECT_EQ(recording.reports[0].microseconds, 1250000u);
    EXPECT_EQ(recording.reports[0].bytes, (Bytes{0x3B, 0x31, 0x3F, 0x00}));
    EXPECT_EQ(recording.reports[1].microseconds, 2000001u);
    EXPECT_EQ(recording.reports[1].bytes, (Bytes{0xAA, 0xBB, 0xCC, 0xDD}));

    // Written back and read again, it is the same.
    std::string written = RecordingHeader(recording);
    for (const RecordedReport& report : recording.reports)
        written += RecordingEvent(report);
    EXPECT_EQ(written.substr(written.find("I:")),
              "I: 3 0801 0002\nR: 21 06 00 ff 09 01 a1 01 15 00 26 ff 00 75 08 95 "
              "04 09 20 81 02 c0\nE: 000001.250000 4 3b 31 3f 00\n"
              "E: 000002.000001 4 aa bb cc dd\n");
    const Result<HidRecording> again = ParseHidRecording(written);
    ASSERT_TRUE(again.Succeeded()) << again.m_reason;
    EXPECT_EQ(again.m_value.descriptor, recording.descriptor);
    EXPECT_EQ(again.m_value.reports.size(), 2u);
}

TEST(HidRecordingTest, RefusesAMalformedRecordingWithItsLine)
{
    const std::string head = "I: 3 0801 0002\nR: 2 a1 c0\n";
    const struct {
        std::string text;
        std::string reason;
    } cases[] = {
        {head + "E: 0.000000 2 01\n", "line 3: report: 1 bytes where the length says 2"},
        {head + "E: 0.000000 1 01 02\n", "line 3: report: more bytes than the length 1"},
        {head + "E: 0.000000 1 1g\n", "line 3: report: '1g' is not a byte in hex"},
        {head + "E: 0.5 1 01\n", "line 3: no time as seconds.microseconds"},
        {head + "E: 2.000000 1 01\nE: 1.000000 1 01\n", "line 4: a report recorded before the one above it"},
        {head + "E: 0.000000 0\n", "line 3: an empty report"},
        {"I: 3 0801 0002\nE: 0.000000 1 01\n", "line 2: a report before the report descriptor"},
        {"I: 3 0801\nR: 0\n", "line 1: not 'I: bus vendor product' in hex"},
        {head + "D: 1\n", "line 3: a recording of more than one device"},
        {head + "R: 0\n", "line 3: a second report descriptor"},
        {head + "X: 1\n", "line 3: 'X:' is not a kind of line of a recording"},
        // What the file holds is shown without its control characters.
        {head + "E: 0.000000 1 \x1b[2J\rok\n", "line 3: report: '?[2J?ok' is not a byte in hex"},
        {head + "hello\n", "line 3: not a line of a recording"},
        {"R: 2 a1 c0\n", "no I: line with the device's ids"},
        {"I: 3 0801 0002\n", "no R: line with the report descriptor"},
    };
    for (const auto& c : cases) {
        const Result<HidRecording> read = ParseHidRecording(c.text);
        EXPECT_FALSE(read.Succeeded()) << c.text;
        EXPECT_EQ(read.m_reason.substr(0, c.reason.size()), c.reason) << c.text;
    }
}

// The replayed reader is listed with the recording's ids and hands over
// each report when its time has come, with the id byte the descriptor does
// not number in front.
TEST(HidRecordingTest, TheReplayedReaderHandsOverReportsAtTheirTimes)
{
    const Result<HidRecording> read = ParseHidRecording(kHandWritten);
    ASSERT_TRUE(CheckReplayable(read.m_value).Succeeded());
    testing::FakeClock clock;
    testing::FakeHidHost system;
    ReplayedReaderHost host(system, read.m_value, clock);
    std::vector<HidInterfaceInfo> listed;
    ASSERT_TRUE(host.ListInterfaces(listed));
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].path, kReplayedReaderPath);
    EXPECT_EQ(listed[0].vendorId, 0x0801);
    EXPECT_EQ(listed[0].name, "Some Reader Inc. MSR");

    const std::unique_ptr<HidDevice> device = host.Open(kReplayedReaderPath, HidAccess::ReadWrite);
    ASSERT_NE(device, nullptr);
    Bytes buffer(8);
    size_t length = 0;
    const struct {
        uint32_t sleepMs;
        HidReadStatus status;
        Bytes report;
    } reads[] = {
        {1249, HidReadStatus::Pending, {}}, {1, HidReadStatus::Complete, {0x00, 0x3B, 0x31, 0x3F, 0x00, 0, 0, 0}},
        {0, HidReadStatus::Pending, {}},    {1000, HidReadStatus::Complete, {0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0, 0, 0}},
        {5000, HidReadStatus::Pending, {}},
    };
    for (const auto& r : reads) {
        clock.Sleep(r.sleepMs);
        EXPECT_EQ(device->ReadInput(buffer.data(), buffer.size(), &length), r.status) << clock.NowMs();
        if (r.status == HidReadStatus::Complete) {
            EXPECT_EQ(buffer, r.report);
            EXPECT_EQ(length, 5u);
        }
    }

    HidRecording refused = read.m_value;
    refused.descriptor = {0xC0};
    EXPECT_EQ(CheckReplayable(refused).m_reason.substr(0, 36), "its report descriptor is refused: re");
}

// Paced by swipes, as in the window, each swipe makes the next recorded
// report readable, whatever its recorded time; after the last one a swipe
// says the recording is at its end.
TEST(HidRecordingTest, TheReplayedReaderHandsOverAReportForEachSwipe)
{
    const Result<HidRecording> read = ParseHidRecording(kHandWritten);
    testing::FakeClock clock;
    testing::FakeHidHost system;
    ReplayedReaderHost host(system, read.m_value, clock, ReplayPace::kSwipes);
    const std::unique_ptr<HidDevice> device = host.Open(kReplayedReaderPath, HidAccess::ReadWrite);
    ASSERT_NE(device, nullptr);
    Bytes buffer(8);
    const auto readReport = [&]() -> std::optional<uint8_t> {
        size_t length = 0;
        if (device->ReadInput(buffer.data(), buffer.size(), &length) != HidReadStatus::Complete)
            return std::nullopt;
        return buffer[1];  // the report's first byte, after the id byte
    };

    clock.Sleep(10000);  // long past every recorded time
    EXPECT_EQ(readReport(), std::nullopt);
    EXPECT_TRUE(host.SwipeNext());
    EXPECT_EQ(readReport(), 0x3B);
    EXPECT_EQ(readReport(), std::nullopt);
    // Two swipes before a read: both reports, in their order.
    EXPECT_TRUE(host.SwipeNext());
    EXPECT_FALSE(host.SwipeNext());
    EXPECT_EQ(host.ReportsSwiped(), 2u);
    EXPECT_EQ(readReport(), 0xAA);
    EXPECT_EQ(readReport(), std::nullopt);
}

}  // namespace
}  // namespace corvalt
