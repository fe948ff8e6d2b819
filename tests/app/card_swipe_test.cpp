// Card swipes end to end in the real window, headless: a simulated reader of
// each HID model found by the poll, its reports read, decoded through its
// descriptor and shown; a report that does not decode; a reader unplugged
// mid-read.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTimer>

#include "rules/card_swipe_steps.h"
#include "app/corvalt_dlg.h"
#include "rules/dialog_template.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_hid_host.h"
#include "tests/support/input_report_layout.h"
#include "tests/support/recording_message_box.h"

namespace corvalt {
namespace {

using namespace std::string_literals;
using testing::FakeClock;
using testing::FakeHidHost;
using testing::InputReportBuilder;
using testing::InputReportLayout;
using testing::ReaderCardFields;
using testing::RecordingMessageBox;
using testing::SimulatedDevice;
using testing::Without;

class CardSwipeTest : public ::testing::Test {
protected:
    CardSwipeTest()
    {
        cardSteps.SetPresenter(&dialog);
        dialog.show();
    }

    std::shared_ptr<SimulatedDevice> AddReader(uint16_t productId, const InputReportLayout& layout)
    {
        return host.AddDevice("/dev/hidraw1", 0x0801, productId, layout.Descriptor());
    }
    // A keyboard keeps some HID device listed while the reader is away.
    void AddKeyboard() { host.AddDevice("/dev/hidraw0", 0x046D, 0xC31C, {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0xC0}); }

    void Ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            dialog.OnTimer();
    }
    QString Shown() const { return dialog.Widgets().m_transcript->toPlainText(); }

    FakeHidHost host;
    FakeClock clock;
    ReaderConnection reader{host, clock};
    RecordingMessageBox messageBox;
    CardData card;
    CardSwipeSteps cardSteps{reader, card};
    CCorvaltDlg dialog{reader, messageBox, &cardSteps};
};

InputReportBuilder Swipe(const InputReportLayout& layout, std::string_view track2)
{
    InputReportBuilder report(layout);
    report.Set(0x21, 0).Set(0x29, static_cast<uint32_t>(track2.size())).Set(0x31, track2);
    report.Set(0x20, 1).Set(0x28, 0);  // track 1 not decoded
    report.Set(0x22, 0).Set(0x2A, 0);
    return report;
}

struct ModelCase {
    const char* name;
    uint16_t productId;
    QString shown;
};

class CardSwipeModelTest : public CardSwipeTest, public ::testing::WithParamInterface<ModelCase> {};

TEST_P(CardSwipeModelTest, ASwipeIsShownOnTheTickAfterItArrives)
{
    const ModelCase& model = GetParam();
    InputReportLayout layout(ReaderCardFields(model.productId));
    auto device = AddReader(model.productId, layout);

    Ticks(2);
    EXPECT_EQ(dialog.windowTitle(), "USB HID MSR Demo - Hid Mode");
    EXPECT_EQ(dialog.StatusText(), "Status: Swipe card...");
    EXPECT_EQ(reader.LastErrorText, "");

    InputReportBuilder report = Swipe(layout,
                                      ";12\0"
                                      "34?"s)
                                    .Set(0x38, 1);
    if (model.productId == 0x0003 || model.productId == 0x3001)
        report.Set(0x39, 1);
    if (model.productId == 0x0009)
        report.Set(0x23, 0x1A).Set(0x2B, 2).Set(0x33, "\xE9Z").Set(0x40, "SN42").Set(0x41, 7);
    device->inputReports.push_back(report);
    clock.ClearSleeps();
    QString statusDuringPump = "not pumped";
    QString shownDuringPump;
    QTimer::singleShot(0, &dialog, [&] {
        statusDuringPump = dialog.StatusText();
        shownDuringPump = Shown();
    });
    Ticks(1);

    EXPECT_EQ(statusDuringPump, "Status: Processing data...");
    EXPECT_EQ(shownDuringPump, "");
    EXPECT_EQ(clock.Sleeps(), std::vector<uint32_t>{100});
    EXPECT_EQ(Shown().toStdString(), model.shown.toStdString());
    EXPECT_EQ(dialog.m_strCardText, QString(model.shown).replace("\n", "\r\n"));
    EXPECT_EQ(dialog.StatusText(), "Status: Swipe card...");
    EXPECT_TRUE(messageBox.texts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Models, CardSwipeModelTest,
    ::testing::Values(
        ModelCase{"Basic", 0x0002,
                  "Card Encode Type = AAMVA\nTrack 1 = Error\nTrack 2 = ;12\u240034?\nTrack 3 = \n\n\n\n"},
        ModelCase{"Direction", 0x0003,
                  "Card Encode Type = AAMVA, Swipe Direction = Insert\nTrack 1 = Error\n"
                  "Track 2 = ;12\u240034?\nTrack 3 = \n\n\n\n"},
        ModelCase{"DirectionOther", 0x3001,
                  "Card Encode Type = AAMVA, Swipe Direction = Insert\nTrack 1 = Error\n"
                  "Track 2 = ;12\u240034?\nTrack 3 = \n\n\n\n"},
        ModelCase{"Sealed", 0x0009,
                  "Card Encode Type = AAMVA\nTrack 1 = Error\nTrack 2 = ;12\u240034?\nTrack 3 = \n"
                  "Stripeseal Status (hex) = 1A\nStripeseal Data (hex) = \u00E9Z\nDevice Serial Number = SN42\n"
                  "Sequence Counter = 7"}),
    [](const ::testing::TestParamInfo<ModelCase>& info) { return std::string(info.param.name); });

TEST_F(CardSwipeTest, EachSwipeReplacesTheLastOne)
{
    InputReportLayout layout(ReaderCardFields(0x0002));
    auto device = AddReader(0x0002, layout);
    Ticks(2);

    device->inputReports.push_back(Swipe(layout, ";111?"));
    Ticks(1);
    device->inputReports.push_back(Swipe(layout, ";2?"));
    Ticks(1);

    EXPECT_EQ(dialog.m_strCardText.toStdString(),
              "Card Encode Type = ISO\r\nTrack 1 = Error\r\nTrack 2 = ;2?\r\nTrack 3 = \r\n\r\n\r\n\r\n");
}

TEST_F(CardSwipeTest, AReportThatDoesNotDecodeIsNamedUntilTheNextSwipe)
{
    InputReportLayout layout(ReaderCardFields(0x0002));
    auto device = AddReader(0x0002, layout);
    Ticks(2);
    std::vector<uint8_t> otherReport = Swipe(layout, ";1?");
    otherReport[0] = 0x05;  // a report id the reader's descriptor does not declare
    device->inputReports.push_back(otherReport);
    Ticks(1);

    EXPECT_EQ(dialog.StatusText(), "Status: Swipe card...");
    EXPECT_EQ(Shown(), "The last card report could not be decoded: HidP_GetUsageValue Failed on Tk1DcdSts");
    EXPECT_TRUE(messageBox.texts.empty());

    device->inputReports.push_back(Swipe(layout, ";2?"));
    Ticks(1);
    EXPECT_EQ(Shown(), "Card Encode Type = ISO\nTrack 1 = Error\nTrack 2 = ;2?\nTrack 3 = \n\n\n\n");
}

// While it is away the window searches, as it does with only other devices
// present; it no longer says it is ready to read.
TEST_F(CardSwipeTest, AReaderUnpluggedMidReadIsFoundAgainWithoutANewSizeLookup)
{
    AddKeyboard();
    InputReportLayout layout(ReaderCardFields(0x0002));
    AddReader(0x0002, layout);
    Ticks(3);  // found, set up, first read pending
    ASSERT_TRUE(reader.IsOpen());
    ASSERT_EQ(host.CountInLog("read"), 1u);

    host.Unplug("/dev/hidraw1");
    Ticks(2);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(host.OpenHandleCount(), 0);
    EXPECT_EQ(dialog.windowTitle(), "USB HID MSR Demo - Searching");
    EXPECT_EQ(dialog.StatusText(), "Status: Attach Device...");

    // Plugged in again, now declaring shorter tracks: the sizes found at the
    // start still count.
    InputReportLayout shorter(ReaderCardFields(0x0002, 100));
    AddReader(0x0002, shorter)->inputReports.push_back(Swipe(shorter, ";back?"));
    Ticks(1);

    EXPECT_TRUE(reader.IsOpen());
    EXPECT_EQ(card.Tk2DataSize, 110);
    EXPECT_EQ(card.Track2Text, ";back?");
    EXPECT_TRUE(Shown().contains("Track 2 = ;back?"));
    EXPECT_EQ(dialog.windowTitle(), "USB HID MSR Demo - Hid Mode");
    EXPECT_EQ(dialog.StatusText(), "Status: Swipe card...");
}

// The reader swapped for another model while a keyboard keeps the poll out of
// its search: the new reader is set up for its own mode and fields, not
// read with the old one's.
struct SwapCase {
    const char* name;
    uint16_t fromProductId;
    uint16_t productId;
    const char* title;
    const char* shown;  // after a swipe on the new reader; empty: no reads
};

class ReaderSwapTest : public CardSwipeTest, public ::testing::WithParamInterface<SwapCase> {};

TEST_P(ReaderSwapTest, AReaderReplacedByAnotherModelIsSetUpForIt)
{
    const SwapCase& swap = GetParam();
    AddKeyboard();
    AddReader(swap.fromProductId, InputReportLayout(ReaderCardFields(swap.fromProductId)));
    Ticks(3);
    host.Unplug("/dev/hidraw1");
    Ticks(1);
    ASSERT_FALSE(reader.IsOpen());
    // Away, the reader of either mode is searched for again.
    EXPECT_EQ(dialog.windowTitle(), "USB HID MSR Demo - Searching");
    EXPECT_EQ(dialog.StatusText(), "Status: Attach Device...");

    InputReportLayout layout(ReaderCardFields(swap.productId));
    auto device = AddReader(swap.productId, layout);
    InputReportBuilder report = Swipe(layout, ";9?");
    if (swap.productId == 0x0009)
        report.Set(0x23, 0x1A).Set(0x2B, 2).Set(0x33, "\xE9Z").Set(0x40, "SN42").Set(0x41, 7);
    device->inputReports.push_back(report);
    const size_t readsBefore = host.CountInLog("read");
    Ticks(3);  // found, set up, read

    EXPECT_EQ(dialog.windowTitle().toStdString(), swap.title);
    if (*swap.shown == '\0') {
        EXPECT_EQ(host.CountInLog("read"), readsBefore);
    } else {
        EXPECT_TRUE(Shown().contains(swap.shown)) << Shown().toStdString() << reader.LastErrorText;
    }
    EXPECT_EQ(host.OpenHandleCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Models, ReaderSwapTest,
    ::testing::Values(SwapCase{"Sealed", 0x0002, 0x0009, "USB HID MSR Demo - Hid Mode",
                               "Track 2 = ;9?\nTrack 3 = \nStripeseal Status (hex) = 1A\n"
                               "Stripeseal Data (hex) = \u00E9Z\nDevice Serial Number = SN42\nSequence Counter = 7"},
                      SwapCase{"Keyboard", 0x0002, 0x0001, "USB HID MSR Demo - Keyboard Mode", ""},
                      SwapCase{"FromKeyboard", 0x0001, 0x0002, "USB HID MSR Demo - Hid Mode",
                               "Track 2 = ;9?\nTrack 3 = \n"}),
    [](const ::testing::TestParamInfo<SwapCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvalt
