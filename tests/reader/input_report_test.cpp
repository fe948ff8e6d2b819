// Input reads that never block: pending reads, reports that arrive later or
// at once, and a reader that goes away.
#include "reader/input_report.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/descriptors.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_hid_host.h"

namespace corvalt {
namespace {

using testing::FakeClock;
using testing::FakeHidHost;
using testing::SimulatedDevice;
using testing::VendorDescriptor;

constexpr size_t kReportLength = 21;  // id byte and 20 data bytes

class InputReportTest : public ::testing::Test {
protected:
    InputReportTest()
    {
        device = host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, VendorDescriptor(kReportLength - 1, 63));
        OpenReader(connection);
    }

    std::vector<uint8_t> Report(uint8_t first) const
    {
        std::vector<uint8_t> report(kReportLength);
        for (size_t i = 1; i < report.size(); ++i)
            report[i] = static_cast<uint8_t>(first + i);
        return report;
    }
    std::vector<uint8_t> Received() const
    {
        return {connection.InputReport.begin(), connection.InputReport.begin() + kReportLength};
    }

    FakeHidHost host;
    FakeClock clock;
    ReaderConnection connection{host, clock};
    std::shared_ptr<SimulatedDevice> device;
};

TEST_F(InputReportTest, PendingReadIsRetriedUntilTheSwipeArrivesThenANewOneStarts)
{
    ASSERT_TRUE(connection.IsOpen());
    ASSERT_EQ(connection.Caps.InputReportByteLength, kReportLength);

    EXPECT_FALSE(PollInputReport(connection));
    EXPECT_FALSE(PollInputReport(connection));
    EXPECT_TRUE(connection.IsOpen());

    device->inputReports.push_back(Report(0x40));
    EXPECT_TRUE(PollInputReport(connection));
    EXPECT_EQ(Received(), Report(0x40));

    EXPECT_FALSE(PollInputReport(connection));
    EXPECT_EQ(host.CountInLog("read"), 4u);
    EXPECT_TRUE(connection.IsOpen());
}

TEST_F(InputReportTest, ReportWaitingCompletesAtOnceWithoutPending)
{
    device->inputReports.push_back(Report(1));
    device->inputReports.push_back(Report(2));

    EXPECT_TRUE(PollInputReport(connection));
    EXPECT_EQ(Received(), Report(1));
    EXPECT_TRUE(PollInputReport(connection));
    EXPECT_EQ(Received(), Report(2));
}

TEST_F(InputReportTest, ReadsExactlyTheDeclaredLengthAndNothingBeyond)
{
    std::ranges::fill(connection.InputReport, 0xAA);
    std::vector<uint8_t> overlong = Report(7);
    overlong.resize(kReportLength + 10, 0x55);
    device->inputReports.push_back(overlong);

    ASSERT_TRUE(PollInputReport(connection));
    EXPECT_EQ(Received(), Report(7));
    EXPECT_EQ(connection.InputReport[kReportLength], 0xAA);
}

TEST_F(InputReportTest, FailedReadClosesTheReaderWhetherIdleOrPending)
{
    for (bool pendingFirst : {false, true}) {
        SCOPED_TRACE(pendingFirst ? "pending" : "idle");
        FakeHidHost localHost;
        FakeClock localClock;
        ReaderConnection c(localHost, localClock);
        localHost.AddDevice("/dev/hidraw0", 0x0801, 0x0002, VendorDescriptor(kReportLength - 1, 63));
        OpenReader(c);
        if (pendingFirst) {
            ASSERT_FALSE(PollInputReport(c));
        }

        localHost.Unplug("/dev/hidraw0");
        EXPECT_FALSE(PollInputReport(c));

        EXPECT_FALSE(c.IsOpen());
        EXPECT_EQ(localHost.OpenHandleCount(), 0);
        // Later polls wait for the reader to be opened again.
        EXPECT_FALSE(PollInputReport(c));
        EXPECT_EQ(localHost.CountInLog("read"), pendingFirst ? 2u : 1u);
    }
}

TEST_F(InputReportTest, LeavingTheModeWithAReadPendingClosesTheReader)
{
    ASSERT_FALSE(PollInputReport(connection));
    CloseReader(connection);

    EXPECT_EQ(host.log.back(), "close /dev/hidraw0");
    EXPECT_EQ(host.OpenHandleCount(), 0);
    EXPECT_FALSE(PollInputReport(connection));
}

}  // namespace
}  // namespace corvalt
