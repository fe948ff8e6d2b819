// The command exchange against simulated readers: what is sent, what is
// read, the one retry on a reopened reader, and the reader's state after
// every failure.
#include "reader/feature_exchange.h"

#include <gtest/gtest.h>

#include "tests/support/descriptors.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_hid_host.h"

namespace corvalt {
namespace {

using testing::FakeClock;
using testing::FakeHidHost;
using testing::SimulatedDevice;
using testing::VendorDescriptor;

class FeatureExchangeTest : public ::testing::Test {
protected:
    // A reader with 64-byte feature reports that answers every command
    // with result code 0 and the command byte echoed as one data byte.
    FeatureExchangeTest()
    {
        device = host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, VendorDescriptor(337, 63));
        device->answerFeature = [](const std::vector<uint8_t>& request) {
            return std::vector<uint8_t>{0x00, 0x00, 0x01, request.at(1)};
        };
        OpenReader(connection);
        connection.FeatureOut = {0x00, 0x02, 0x01, 0x5A};
        connection.FeatureIn.fill(0xEE);
        clock.ClearSleeps();
        host.log.clear();
    }

    FakeHidHost host;
    FakeClock clock;
    ReaderConnection connection{host, clock};
    std::shared_ptr<SimulatedDevice> device;
};

TEST_F(FeatureExchangeTest, SendsNBytesWaitsAndReadsTheAnswer)
{
    ASSERT_EQ(FeatureReportLength(connection), 64u);
    ExchangeFeatureReport(connection);

    EXPECT_EQ(connection.ExchangeStatus, ExchangeOutcome::kAnswered);
    ASSERT_EQ(device->featuresSent.size(), 1u);
    EXPECT_EQ(device->featuresSent[0],
              std::vector<uint8_t>(connection.FeatureOut.begin(), connection.FeatureOut.end()));
    EXPECT_EQ(clock.Sleeps(), std::vector<uint32_t>{20});
    EXPECT_EQ(host.log, (std::vector<std::string>{"set-feature", "get-feature"}));
    std::array<uint8_t, 64> expected{0x00, 0x00, 0x01, 0x02};
    EXPECT_EQ(connection.FeatureIn, expected);  // the whole answer, old bytes cleared
    EXPECT_TRUE(connection.IsOpen());
}

TEST_F(FeatureExchangeTest, ShortReportsTravelAtTheirOwnLength)
{
    host.Unplug("/dev/hidraw0");
    CloseReader(connection);
    auto small = host.AddDevice("/dev/hidraw1", 0x0801, 0x0002, VendorDescriptor(8, 4));
    OpenReader(connection);
    ASSERT_EQ(FeatureReportLength(connection), 5u);

    ExchangeFeatureReport(connection);
    EXPECT_EQ(connection.ExchangeStatus, ExchangeOutcome::kAnswered);
    ASSERT_EQ(small->featuresSent.size(), 1u);
    EXPECT_EQ(small->featuresSent[0].size(), 5u);
    EXPECT_EQ(connection.FeatureIn[5], 0xEE);  // nothing past N is touched
}

struct FailureCase {
    const char* name;
    int setFailures;
    int getFailures;
    bool reopenFindsNone;
    ExchangeOutcome status;
    bool openAfter;
    size_t sent;      // reports the device took
    size_t receives;  // answers asked for
};

class FeatureExchangeFailureTest : public FeatureExchangeTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FeatureExchangeFailureTest, LeavesTheReaderAsTheOutcomeSays)
{
    const FailureCase c = GetParam();
    device->setFeatureFailures = c.setFailures;
    device->getFeatureFailures = c.getFailures;
    if (c.reopenFindsNone)
        host.Unplug("/dev/hidraw0");

    ExchangeFeatureReport(connection);

    EXPECT_EQ(connection.ExchangeStatus, c.status);
    EXPECT_EQ(connection.IsOpen(), c.openAfter);
    EXPECT_EQ(device->featuresSent.size(), c.sent);
    EXPECT_EQ(host.CountInLog("get-feature"), c.receives);
    EXPECT_EQ(host.OpenHandleCount(), c.openAfter ? 1 : 0);
    if (!c.openAfter) {
        EXPECT_EQ(connection.pPreparsedData, nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, FeatureExchangeFailureTest,
    ::testing::Values(
        FailureCase{"SendFailsAndNoReaderIsFoundAgain", 0, 0, true, ExchangeOutcome::kNotDelivered, false, 0, 0},
        FailureCase{"RetryOnTheReopenedReaderSucceeds", 1, 0, false, ExchangeOutcome::kAnswered, true, 1, 1},
        FailureCase{"BothSendsFail", 2, 0, false, ExchangeOutcome::kNotDelivered, false, 0, 0},
        FailureCase{"NoAnswer", 0, 1, false, ExchangeOutcome::kNoAnswer, false, 1, 1}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(FeatureExchangeTest, TheRetryGoesThroughAFullDiscovery)
{
    device->setFeatureFailures = 1;
    ExchangeFeatureReport(connection);
    EXPECT_EQ(host.log, (std::vector<std::string>{"set-feature", "close /dev/hidraw0", "list", "open /dev/hidraw0 rw",
                                                  "attributes", "descriptor", "set-feature", "get-feature"}));
    EXPECT_EQ(clock.Sleeps(), std::vector<uint32_t>{20});  // the reader never left: no new settle wait
    EXPECT_EQ(connection.FeatureIn[3], 0x02);

    // Replugged at the same node between two commands: the handle's device
    // is gone, so the node listed now is a new one and settles.
    host.Unplug("/dev/hidraw0");
    host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, VendorDescriptor(337, 63))->answerFeature = device->answerFeature;
    clock.ClearSleeps();
    ExchangeFeatureReport(connection);
    EXPECT_EQ(connection.ExchangeStatus, ExchangeOutcome::kAnswered);
    EXPECT_EQ(clock.Sleeps(), (std::vector<uint32_t>{1000, 20}));
}

}  // namespace
}  // namespace corvalt
