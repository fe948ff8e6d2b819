// The reading-mode poll against simulated devices: what it shows for each
// device situation, how it picks the reader's mode, how it hands card
// reports on, and how it copes with ticks and mode switches that arrive
// while it pumps messages.
#include "rules/reader_poll.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "console/console_texts.h"
#include "rules/window_texts.h"
#include "tests/support/descriptors.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_hid_host.h"

namespace corvalt {
namespace {

using testing::FakeClock;
using testing::FakeHidHost;
using testing::VendorDescriptor;

const std::vector<uint8_t> kReaderDescriptor = VendorDescriptor(337, 63);

class RecordingPollWindow final : public PollWindow {
public:
    void ShowStatus(std::string_view text) override { statuses.emplace_back(text); }
    void SetTitle(std::string_view text) override { titles.emplace_back(text); }
    void ShowEmptyCardText() override { ++emptied; }
    void ShowCardText(std::string_view text) override { cardTexts.emplace_back(text); }
    void FocusTranscript() override { ++focused; }
    void PumpMessages() override
    {
        ++pumps;
        if (onPump)
            onPump();
    }

    std::vector<std::string> statuses;
    std::vector<std::string> titles;
    std::vector<std::string> cardTexts;
    int emptied = 0;
    int focused = 0;
    int pumps = 0;
    std::function<void()> onPump;
};

// Card-report steps that deliver the reports a test lines up.
class ScriptedCardSteps final : public CardReportSteps {
public:
    void LoadDataUsageSizes() override { ++loads; }
    bool PollInputReport() override
    {
        ++polls;
        if (reportsWaiting == 0)
            return false;
        --reportsWaiting;
        return true;
    }
    bool DecodeCardReport() override
    {
        ++decodes;
        return decodeSucceeds;
    }
    void PresentCardData() override { ++presents; }

    int reportsWaiting = 0;
    bool decodeSucceeds = true;
    int loads = 0, polls = 0, decodes = 0, presents = 0;
};

class ReaderPollTest : public ::testing::Test {
protected:
    void Ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            poll.PollReader();
    }

    FakeHidHost host;
    FakeClock clock;
    ReaderConnection reader{host, clock};
    RecordingPollWindow window;
    ScriptedCardSteps steps;
    ReaderPoll poll{reader, window, &steps};
};

struct ModeCase {
    uint16_t productId;
    int foundState;
    int readingState;
    std::string title;
};

class ReaderModeTest : public ReaderPollTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ReaderModeTest, ProductIdPicksTheModeOnTheFirstTickAndSetsItUpOnTheSecond)
{
    const ModeCase mode = GetParam();
    host.AddDevice("/dev/hidraw0", 0x0801, mode.productId, kReaderDescriptor);

    Ticks(1);
    EXPECT_EQ(poll.State(), mode.foundState);
    EXPECT_TRUE(window.titles.empty());
    EXPECT_TRUE(window.statuses.empty());

    Ticks(1);
    EXPECT_EQ(poll.State(), mode.readingState);
    EXPECT_EQ(window.titles, std::vector<std::string>{mode.title});
    EXPECT_EQ(window.statuses, std::vector<std::string>{std::string(kStatusSwipeCard)});
    EXPECT_EQ(window.focused, 1);
    EXPECT_EQ(steps.loads, mode.readingState == kHidReading ? 1 : 0);

    Ticks(3);  // reading goes on quietly; keyboard mode never reads
    EXPECT_EQ(poll.State(), mode.readingState);
    EXPECT_EQ(window.titles.size(), 1u);
    EXPECT_EQ(steps.polls, mode.readingState == kHidReading ? 3 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    AcceptedProducts, ReaderModeTest,
    ::testing::Values(ModeCase{0x0002, kHidModeFound, kHidReading, std::string(kTitleHidMode)},
                      ModeCase{0x0009, kHidModeFound, kHidReading, std::string(kTitleHidMode)},
                      ModeCase{0x0003, kHidModeFound, kHidReading, std::string(kTitleHidMode)},
                      ModeCase{0x3001, kHidModeFound, kHidReading, std::string(kTitleHidMode)},
                      ModeCase{0x0001, kKeyboardModeFound, kKeyboardReading, std::string(kTitleKeyboardMode)},
                      ModeCase{0x3003, kKeyboardModeFound, kKeyboardReading, std::string(kTitleKeyboardMode)}));

TEST_F(ReaderPollTest, WithoutAnyHidDeviceEveryTickAsksForOne)
{
    Ticks(3);
    EXPECT_EQ(poll.State(), kNoDevice);
    EXPECT_EQ(window.statuses, std::vector<std::string>(3, std::string(kStatusAttachDevice)));
    EXPECT_EQ(window.titles, std::vector<std::string>(3, std::string(kTitleSearching)));
    EXPECT_EQ(window.emptied, 3);
}

TEST_F(ReaderPollTest, OtherHidDevicesKeepThePollIdentifyingWithoutWaiting)
{
    host.AddDevice("/dev/hidraw0", 0x046D, 0xC31C, VendorDescriptor(8, 0));
    Ticks(3);
    EXPECT_EQ(poll.State(), kIdentifying);
    EXPECT_TRUE(window.statuses.empty());
    EXPECT_TRUE(window.titles.empty());
    EXPECT_TRUE(clock.Sleeps().empty());
}

TEST_F(ReaderPollTest, IdsOfARejectedReaderNeverChooseAMode)
{
    // Accepted ids, but its reports are too long for the buffers: discovery
    // reads its ids and turns it down.
    host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, VendorDescriptor(600, 63));
    Ticks(3);
    EXPECT_EQ(reader.Attributes.ProductID, 0x0002);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(poll.State(), kIdentifying);
}

// A reader that is listed but cannot be used is named in the status on every
// tick; once it has left, while a keyboard stays, the status asks for a
// device again, once.
struct UnusableReaderCase {
    const char* name;
    std::function<void(testing::SimulatedDevice&)> breakReader;
    std::string status;
};

class UnusableReaderTest : public ReaderPollTest, public ::testing::WithParamInterface<UnusableReaderCase> {};

TEST_P(UnusableReaderTest, IsNamedWhileListedAndForgottenWhenItLeaves)
{
    const UnusableReaderCase& c = GetParam();
    host.AddDevice("/dev/hidraw0", 0x046D, 0xC31C, VendorDescriptor(8, 0));
    c.breakReader(*host.AddDevice("/dev/hidraw3", 0x0801, 0x0002, kReaderDescriptor));
    Ticks(2);
    host.Unplug("/dev/hidraw3");
    Ticks(2);
    EXPECT_EQ(window.statuses, (std::vector<std::string>{c.status, c.status, std::string(kStatusAttachDevice)}));
    EXPECT_EQ(poll.State(), kIdentifying);
}

INSTANTIATE_TEST_SUITE_P(
    Readers, UnusableReaderTest,
    ::testing::Values(UnusableReaderCase{"AccessDenied",
                                         [](auto& d) { d.readWriteOpenError = d.queryOpenError = EACCES; },
                                         std::string(kStatusPrefix) + std::string(kAccessDeniedAdvice)},
                      UnusableReaderCase{"InputReportTooLong",
                                         [](auto& d) { d.descriptor = VendorDescriptor(600, 63); },
                                         "Status: Reader found, but it is not supported (input report of 601 "
                                         "bytes, at most 512)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderPollTest, UnpluggingEverythingStartsTheSearchOver)
{
    host.AddDevice("/dev/hidraw0", 0x0801, 0x0001, kReaderDescriptor);
    Ticks(2);
    ASSERT_EQ(poll.State(), kKeyboardReading);

    host.Unplug("/dev/hidraw0");
    Ticks(1);
    EXPECT_EQ(poll.State(), kNoDevice);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(window.statuses.back(), kStatusAttachDevice);

    host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, kReaderDescriptor);
    Ticks(2);
    EXPECT_EQ(poll.State(), kHidReading);
}

TEST_F(ReaderPollTest, RestartGoesBackToTheSearch)
{
    host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, kReaderDescriptor);
    Ticks(2);
    poll.Restart();
    EXPECT_EQ(poll.State(), kNoDevice);
    Ticks(1);
    EXPECT_EQ(poll.State(), kHidModeFound);
}

class CardReportTest : public ReaderPollTest {
protected:
    void SetUp() override
    {
        host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, kReaderDescriptor);
        Ticks(2);
        ASSERT_EQ(poll.State(), kHidReading);
        window.statuses.clear();
        clock.ClearSleeps();
    }
};

TEST_F(CardReportTest, AReportIsShownAfterBlankingAndAShortWait)
{
    steps.reportsWaiting = 1;
    Ticks(1);
    EXPECT_EQ(window.statuses,
              (std::vector<std::string>{std::string(kStatusProcessingData), std::string(kStatusSwipeCard)}));
    EXPECT_EQ(window.emptied, 1);
    EXPECT_EQ(window.pumps, 2);
    EXPECT_EQ(clock.Sleeps(), std::vector<uint32_t>{kReportSettleMs});
    EXPECT_EQ(steps.presents, 1);
}

TEST_F(CardReportTest, AReportThatDoesNotDecodeIsNamedAndSwipingGoesOn)
{
    steps.reportsWaiting = 1;
    steps.decodeSucceeds = false;
    reader.LastErrorText = "HidP_GetUsageValue Failed on Tk1Len";
    Ticks(1);
    EXPECT_EQ(window.statuses,
              (std::vector<std::string>{std::string(kStatusProcessingData), std::string(kStatusSwipeCard)}));
    EXPECT_EQ(window.cardTexts, std::vector<std::string>{"The last card report could not be decoded: "
                                                         "HidP_GetUsageValue Failed on Tk1Len"});
    EXPECT_EQ(steps.presents, 0);
    EXPECT_EQ(poll.State(), kHidReading);
}

TEST_F(CardReportTest, NoReportNoChange)
{
    Ticks(2);
    EXPECT_TRUE(window.statuses.empty());
    EXPECT_EQ(window.pumps, 0);
}

TEST_F(CardReportTest, ATickDuringThePumpIsIgnored)
{
    steps.reportsWaiting = 2;
    window.onPump = [this] { poll.PollReader(); };
    Ticks(1);
    EXPECT_EQ(steps.polls, 1);  // the nested tick did not start a second read
    EXPECT_EQ(steps.decodes, 1);
    EXPECT_EQ(steps.presents, 1);

    window.onPump = nullptr;
    Ticks(1);  // the next real tick works as usual
    EXPECT_EQ(steps.presents, 2);
}

TEST_F(CardReportTest, LeavingReadingModeDuringThePumpStopsTheStep)
{
    steps.reportsWaiting = 1;
    window.onPump = [this] {
        poll.Stop();
        CloseReader(reader);
    };
    Ticks(1);
    EXPECT_TRUE(clock.Sleeps().empty());
    EXPECT_EQ(steps.decodes, 0);
    EXPECT_EQ(steps.presents, 0);
    EXPECT_EQ(window.statuses, std::vector<std::string>{std::string(kStatusProcessingData)});
}

TEST_F(CardReportTest, ReenteringReadingModeDuringThePumpAlsoStopsTheStep)
{
    steps.reportsWaiting = 1;
    window.onPump = [this] {
        poll.Stop();
        poll.Restart();
    };
    Ticks(1);
    EXPECT_EQ(steps.decodes, 0);
    EXPECT_EQ(poll.State(), kNoDevice);
}

}  // namespace
}  // namespace corvalt
