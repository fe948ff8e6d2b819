// A reader that fails under the real HidrawHost: unplugged while a read is
// pending or between a command and its answer, answering shorter than asked,
// or gone between the listing and the open. Checked at the host and through
// the reader operations the window uses, against umockdev's emulated nodes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "reader/feature_exchange.h"
#include "reader/input_report.h"
#include "reader/reader_connection.h"
#include "tests/platform/mock_hidraw.h"

namespace corvalt {
namespace {

using testing::Bytes;
using testing::Get;
using testing::kUnnumbered;
using testing::MockNode;
using testing::OpenFds;
using testing::Set;
using testing::SettledFds;

// A clock that never waits; a test may make something happen during a wait.
class InstantClock final : public Clock {
public:
    uint64_t NowMs() const override { return now; }
    void Sleep(uint32_t milliseconds) override
    {
        now += milliseconds;
        if (duringSleep)
            std::exchange(duringSleep, nullptr)();
    }
    uint64_t now = 0;
    std::function<void()> duringSleep;
};

class HidrawFaultTest : public testing::MockHidrawTest {
protected:
    // An accepted reader (kUnnumbered: 8-byte input and feature reports,
    // id byte included) opened through discovery.
    MockNode& OpenedReader()
    {
        MockNode& node = Add(0);
        m_fdsBeforeOpen = OpenFds();
        OpenReader(m_reader);
        EXPECT_TRUE(m_reader.IsOpen()) << m_host.LastError().message;
        return node;
    }

    InstantClock m_clock;
    ReaderConnection m_reader{m_host, m_clock};
    std::map<int, std::string> m_fdsBeforeOpen;
};

TEST_F(HidrawFaultTest, UnplugWhileAReadIsPendingFailsTheReadAndLeaksNothing)
{
    MockNode& node = Add(0);
    const auto before = OpenFds();
    auto device = Open(node, kUnnumbered);
    uint8_t buffer[8] = {};  // the preload passes the buffer on to its handler
    size_t count = 0;
    ASSERT_EQ(device->ReadInput(buffer, sizeof buffer, &count), HidReadStatus::Pending);

    Remove(node);
    EXPECT_EQ(device->ReadInput(buffer, sizeof buffer, &count), HidReadStatus::Failed);
    EXPECT_EQ(device->LastError().code, ENODEV);
    EXPECT_NE(device->LastError().message.find("/dev/hidraw0"), std::string::npos);
    std::vector<HidInterfaceInfo> list;
    ASSERT_TRUE(m_host.ListInterfaces(list));
    EXPECT_TRUE(list.empty());
    device.reset();
    EXPECT_EQ(SettledFds(before), before);
}

TEST_F(HidrawFaultTest, UnplugBetweenSendAndReceiveFailsTheAnswer)
{
    MockNode& node = Add(0);
    Set(node, [](MockNode& n) { n.goneAfterSets = 1; });
    auto device = Open(node, kUnnumbered);
    const Bytes command = {0x00, 0x01, 0x00, 0, 0, 0, 0, 0};
    ASSERT_TRUE(device->SetFeature(command.data(), command.size())) << device->LastError().message;
    Bytes answer(command.size(), 0xEE);
    answer[0] = 0x00;
    EXPECT_FALSE(device->GetFeature(answer.data(), answer.size()));
    EXPECT_EQ(device->LastError().code, ENODEV);
}

TEST_F(HidrawFaultTest, ShortAnswersAreZeroFilledToTheLengthAsked)
{
    struct Case {
        const char* what;
        Bytes answer;
    };
    const Case cases[] = {
        {"nothing but the id", {0x00}},
        {"one data byte", {0x00, 0x06}},
        {"one byte short", {0x00, 1, 2, 3, 4, 5, 6}},
    };
    MockNode& node = Add(0);
    auto device = Open(node, kUnnumbered);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Set(node, [&](MockNode& n) { n.features[0x00] = c.answer; });
        Bytes buffer(8, 0xEE);
        buffer[0] = 0x00;
        ASSERT_TRUE(device->GetFeature(buffer.data(), buffer.size())) << device->LastError().message;
        Bytes expected = c.answer;
        expected.resize(8, 0);
        EXPECT_EQ(buffer, expected);
    }
    // An input report shorter than declared: the rest is zeros, not what
    // the buffer held before.
    Set(node, [](MockNode& n) { n.reads.emplace_back(0, Bytes{0x11}); });
    Bytes buffer(8, 0xEE);
    size_t count = 0;
    ASSERT_EQ(device->ReadInput(buffer.data(), buffer.size(), &count), HidReadStatus::Complete);
    EXPECT_EQ(buffer, (Bytes{0x00, 0x11, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(count, 2u);
}

TEST_F(HidrawFaultTest, ANodeGoneBetweenListingAndOpeningFailsTheOpen)
{
    MockNode& node = Add(0);
    std::vector<HidInterfaceInfo> list;
    ASSERT_TRUE(m_host.ListInterfaces(list));
    ASSERT_EQ(list.size(), 1u);
    Remove(node);
    EXPECT_EQ(m_host.Open(list[0].path, HidAccess::ReadWrite), nullptr);
    EXPECT_EQ(m_host.LastError().code, ENOENT);
    EXPECT_NE(m_host.LastError().message.find("/dev/hidraw0"), std::string::npos);
}

TEST_F(HidrawFaultTest, ReaderUnpluggedWhileAReadIsPendingIsClosedAndNotFoundAgain)
{
    MockNode& node = OpenedReader();
    EXPECT_FALSE(PollInputReport(m_reader));
    EXPECT_TRUE(m_reader.IsOpen());

    Remove(node);
    EXPECT_FALSE(PollInputReport(m_reader));
    EXPECT_FALSE(m_reader.IsOpen());
    EXPECT_EQ(m_reader.pPreparsedData, nullptr);
    EXPECT_TRUE(OpenReader(m_reader));
    EXPECT_FALSE(m_reader.IsOpen());
    EXPECT_EQ(SettledFds(m_fdsBeforeOpen), m_fdsBeforeOpen);
}

TEST_F(HidrawFaultTest, ReaderUnpluggedAroundACommandReportsWhereItFailed)
{
    // Gone after the command went out: sent, no answer.
    MockNode& node = OpenedReader();
    Set(node, [](MockNode& n) { n.goneAfterSets = 1; });
    m_reader.FeatureOut = {0x00, 0x01, 0x00};
    ExchangeFeatureReport(m_reader);
    EXPECT_EQ(m_reader.ExchangeStatus, ExchangeOutcome::kNoAnswer);
    EXPECT_FALSE(m_reader.IsOpen());
    EXPECT_EQ(Get(node, [](MockNode& n) { return n.featuresSet.size(); }), 1u);

    // Gone before it: the retry finds no reader to send it to.
    Remove(node);
    OpenReader(m_reader);
    ExchangeFeatureReport(m_reader);
    EXPECT_EQ(m_reader.ExchangeStatus, ExchangeOutcome::kNotDelivered);
    EXPECT_FALSE(m_reader.IsOpen());
}

TEST_F(HidrawFaultTest, ReaderShortAnswersLeaveNoStaleBytes)
{
    MockNode& node = OpenedReader();
    Set(node, [](MockNode& n) {
        n.features[0x00] = {0x00, 0x06};
        n.reads.emplace_back(0, Bytes{1, 2, 3, 4, 5, 6, 7});
        n.reads.emplace_back(0, Bytes{9});
    });
    m_reader.FeatureIn.fill(0xEE);
    m_reader.FeatureOut = {0x00, 0x01, 0x00};
    ExchangeFeatureReport(m_reader);
    ASSERT_EQ(m_reader.ExchangeStatus, ExchangeOutcome::kAnswered);
    EXPECT_EQ(Bytes(m_reader.FeatureIn.begin(), m_reader.FeatureIn.begin() + 8), (Bytes{0x00, 0x06, 0, 0, 0, 0, 0, 0}));

    ASSERT_TRUE(PollInputReport(m_reader));
    EXPECT_EQ(Bytes(m_reader.InputReport.begin(), m_reader.InputReport.begin() + 8),
              (Bytes{0x00, 1, 2, 3, 4, 5, 6, 7}));
    ASSERT_TRUE(PollInputReport(m_reader));
    EXPECT_EQ(Bytes(m_reader.InputReport.begin(), m_reader.InputReport.begin() + 8),
              (Bytes{0x00, 9, 0, 0, 0, 0, 0, 0}));
}

TEST_F(HidrawFaultTest, ReaderGoneDuringTheSettleWaitIsPassedOver)
{
    MockNode& node = Add(0);
    m_clock.duringSleep = [&] { Remove(node); };
    EXPECT_TRUE(OpenReader(m_reader));
    EXPECT_FALSE(m_reader.IsOpen());
    EXPECT_FALSE(m_reader.bAccessDenied);
    EXPECT_EQ(m_reader.pPreparsedData, nullptr);
}

// A reader whose reads keep failing while it stays listed is closed by each
// read and opened again by the next pass: it is waited for once, when it
// appears. A read that finds the device gone means that a node at its path
// is another one next time, listed again or not: that one settles.
TEST_F(HidrawFaultTest, AReaderSettlesWhenItAppearsNotWhenItIsOpenedAgain)
{
    const Bytes noInputReport = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF,
                                 0x00, 0x75, 0x08, 0x95, 0x07, 0x09, 0x03, 0xB1, 0x02, 0xC0};
    const struct {
        const char* what;
        Bytes descriptor;
        long readResult;
        uint64_t waitedMs;  // over three passes
    } cases[] = {
        {"every read fails", kUnnumbered, -EIO, 1000},
        {"no input report to read", noInputReport, 0, 1000},
        {"the device is gone at every read", kUnnumbered, -ENODEV, 3000},
    };
    int number = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MockNode& node = Add(number++);
        Set(node, [&](MockNode& n) {
            n.descriptor = c.descriptor;
            n.reads.assign(3, {c.readResult, Bytes{}});
        });
        m_clock.now = 0;
        for (int pass = 0; pass < 3; ++pass) {
            OpenReader(m_reader);
            ASSERT_TRUE(m_reader.IsOpen()) << m_host.LastError().message;
            EXPECT_FALSE(PollInputReport(m_reader));
            EXPECT_FALSE(m_reader.IsOpen());
        }
        EXPECT_EQ(m_clock.now, c.waitedMs);
        Remove(node);
    }
}

}  // namespace
}  // namespace corvalt

int main(int argc, char** argv)
{
    return corvalt::testing::RunUnderUmockdev(argc, argv);
}
