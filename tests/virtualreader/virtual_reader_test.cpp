// The virtual reader as the program sees it, through the host that lists
// it after the system's devices and the program's own discovery, exchange
// and decoder: mode switch and re-enumeration, the track mask, and each
// model's report.
#include "virtualreader/virtual_reader.h"

#include <gtest/gtest.h>

#include "carddata/card_decoder.h"
#include "carddata/card_text.h"
#include "reader/feature_exchange.h"
#include "reader/input_report.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_hid_host.h"
#include "virtualreader/sample_cards.h"
#include "virtualreader/virtual_reader_host.h"

namespace corvalt {
namespace {

using testing::FakeClock;
using testing::FakeHidHost;

class VirtualReaderTest : public ::testing::Test {
protected:
    explicit VirtualReaderTest(uint16_t productId = 0x0002) : model(productId, clock)
    {
        system.AddDevice("/dev/hidraw0", 0x046D, 0xC31C, {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0xC0});
    }

    std::vector<HidInterfaceInfo> Listed()
    {
        std::vector<HidInterfaceInfo> interfaces;
        EXPECT_TRUE(host.ListInterfaces(interfaces));
        return interfaces;
    }
    // Sends a command (code, length, data) as the console frames it; the answer.
    std::vector<uint8_t> Send(std::vector<uint8_t> command)
    {
        if (!connection.IsOpen())
            OpenReader(connection);
        connection.FeatureOut.fill(0);
        std::copy(command.begin(), command.end(), connection.FeatureOut.begin() + 1);
        ExchangeFeatureReport(connection);
        EXPECT_EQ(connection.ExchangeStatus, ExchangeOutcome::kAnswered);
        return {connection.FeatureIn.begin(), connection.FeatureIn.begin() + 4};
    }
    // Swipes the card and decodes what the program reads.
    bool SwipeAndDecode(const CardSwipe& swipe)
    {
        if (!connection.IsOpen())
            OpenReader(connection);
        if (card.Tk1DataSize == 0)
            LoadDataUsageSizes(connection, card);
        EXPECT_TRUE(model.Swipe(swipe).empty());
        return PollInputReport(connection) && DecodeCardReport(connection, card);
    }

    FakeClock clock;
    FakeHidHost system;
    VirtualReader model;
    VirtualReaderHost host{system, model};
    ReaderConnection connection{host, clock};
    CardData card;
};

TEST_F(VirtualReaderTest, IsListedAfterTheSystemsDevicesAndOpenedByDiscovery)
{
    const std::vector<HidInterfaceInfo> listed = Listed();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].path, "/dev/hidraw0");
    EXPECT_EQ(listed[1].path, kVirtualReaderPath);
    EXPECT_EQ(listed[1].productId, 0x0002);

    OpenReader(connection);
    ASSERT_TRUE(connection.IsOpen());
    EXPECT_EQ(connection.Attributes.VendorID, 0x0801);
    EXPECT_EQ(connection.Caps.InputReportByteLength, 338);
    EXPECT_EQ(connection.Caps.FeatureReportByteLength, 64);
    EXPECT_EQ(clock.TotalSlept(), kSettleWaitMs);
}

TEST_F(VirtualReaderTest, TheModeCommandTakesEffectAtTheResetWhichReEnumerates)
{
    EXPECT_EQ(Send({0x01, 0x02, 0x10, 0x01}), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(model.ProductId(), 0x0002);  // not before the reset

    Send({0x02, 0x00});  // answered before the reader goes
    const uint64_t gone = clock.NowMs() - kFeatureAnswerWaitMs + kResetAnswerMs;
    EXPECT_EQ(Listed().size(), 2u);
    clock.Advance(gone - clock.NowMs());
    EXPECT_EQ(Listed().size(), 1u);
    EXPECT_FALSE(PollInputReport(connection));  // the old handle has died
    EXPECT_FALSE(connection.IsOpen());
    clock.Advance(kRestartMs - 1);
    EXPECT_EQ(Listed().size(), 1u);
    clock.Advance(1);
    ASSERT_EQ(Listed().size(), 2u);
    EXPECT_EQ(Listed()[1].productId, 0x0001);

    Send({0x01, 0x02, 0x10, 0x05});  // no such mode: ignored
    Send({0x02, 0x00});
    clock.Advance(kResetAnswerMs + kRestartMs);
    EXPECT_EQ(model.ProductId(), 0x0001);
    Send({0x01, 0x02, 0x10, 0x00});
    Send({0x02, 0x00});
    clock.Advance(kResetAnswerMs + kRestartMs);
    CloseReader(connection);
    OpenReader(connection);
    EXPECT_EQ(connection.Attributes.ProductID, 0x0002);
}

TEST_F(VirtualReaderTest, UnselectedTracksAreSentEmpty)
{
    const CardSwipe& full = SampleCards()[3].swipe;
    struct Case {
        uint8_t mask;
        std::array<uint32_t, 3> lengths;
    };
    for (const Case& c :
         {Case{0x07, {79, 40, 107}}, Case{0x02, {0, 40, 0}}, Case{0x05, {79, 0, 107}}, Case{0x00, {0, 0, 0}}}) {
        Send({0x10, 0x03, 0x1B, 0x54, c.mask});
        ASSERT_TRUE(SwipeAndDecode(full)) << connection.LastErrorText;
        EXPECT_EQ((std::array<uint32_t, 3>{card.Tk1Len, card.Tk2Len, card.Tk3Len}), c.lengths) << int{c.mask};
        EXPECT_EQ(card.Track3Text, c.lengths[2] ? full.tracks[2] : "");
    }
}

TEST_F(VirtualReaderTest, AnUnreadableTrackIsReportedAsNotDecoded)
{
    ASSERT_TRUE(SwipeAndDecode(SampleCards()[2].swipe));
    EXPECT_EQ(card.Tk1DcdSts, 0u);
    EXPECT_EQ(card.Tk2DcdSts, 1u);
    EXPECT_EQ(card.Tk2Len, 0u);
}

TEST_F(VirtualReaderTest, AnUnpluggedReaderLeavesTheListAndTakesNoSwipes)
{
    OpenReader(connection);
    model.Unplug();
    EXPECT_EQ(Listed().size(), 1u);
    EXPECT_FALSE(PollInputReport(connection));
    EXPECT_FALSE(connection.IsOpen());
    model.Swipe(SampleCards()[0].swipe);
    model.PlugIn();
    EXPECT_EQ(model.TakeInputReport(), std::nullopt);
    OpenReader(connection);
    EXPECT_TRUE(connection.IsOpen());
}

// Each model's own fields, decoded by the program.
class VirtualReaderModelTest : public VirtualReaderTest, public ::testing::WithParamInterface<uint16_t> {
protected:
    VirtualReaderModelTest() : VirtualReaderTest(GetParam()) {}
};

TEST_P(VirtualReaderModelTest, ItsSwipesDecodeThroughItsDescriptor)
{
    CardSwipe swipe = SampleCards()[1].swipe;
    swipe.direction = SwipeDirection::Insert;
    ASSERT_TRUE(SwipeAndDecode(swipe)) << connection.LastErrorText;
    ASSERT_TRUE(SwipeAndDecode(swipe)) << connection.LastErrorText;

    EXPECT_EQ(card.Track1Text, swipe.tracks[0]);
    EXPECT_EQ(card.Track2Text, swipe.tracks[1]);
    EXPECT_EQ(card.CrdEcdTyp, 1u);
    const bool direction = GetParam() == 0x0003 || GetParam() == 0x3001;
    EXPECT_EQ(card.CardSts, direction ? 1u : 0u);
    if (GetParam() == 0x0009) {
        EXPECT_EQ(card.SerialNumberText, "VIRTUAL00000001");
        EXPECT_EQ(card.SequenceCounter, 2);
        EXPECT_EQ(card.StripesealText.size(), card.StripesealLen);
        EXPECT_GT(card.StripesealLen, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Models, VirtualReaderModelTest, ::testing::Values(0x0002, 0x0003, 0x0009, 0x3001));

// The model table read by its users: for every model the virtual reader can
// be, its mode, the fields its reports carry and the lines the card text
// shows for them agree with the model's row.
TEST(ReaderModelsTest, TheVirtualReaderDecoderAndCardTextAgreeWithEveryRow)
{
    for (const ReaderModel& row : kReaderModels) {
        if (!row.virtualReaderCanBe)
            continue;
        SCOPED_TRACE(row.productId);
        FakeClock clock;
        FakeHidHost system;
        VirtualReader reader(row.productId, clock);
        VirtualReaderHost host{system, reader};
        ReaderConnection connection{host, clock};
        OpenReader(connection);
        ASSERT_TRUE(connection.IsOpen());
        EXPECT_EQ(reader.IsKeyboardMode(), row.mode == ReaderMode::kKeyboard);
        if (row.mode == ReaderMode::kKeyboard)
            continue;

        CardSwipe swipe = SampleCards()[0].swipe;
        swipe.direction = SwipeDirection::Insert;
        reader.Swipe(swipe);
        CardData card;
        LoadDataUsageSizes(connection, card);
        ASSERT_TRUE(PollInputReport(connection) && DecodeCardReport(connection, card)) << connection.LastErrorText;
        const std::string text = FormatCardText(card, row.productId);
        EXPECT_EQ(text.find(", Swipe Direction = Insert\r\n") != std::string::npos, row.reportsCardStatus);
        EXPECT_EQ(text.find("Device Serial Number = VIRTUAL00000001") != std::string::npos, row.reportsSealFields);
    }
}

}  // namespace
}  // namespace corvalt
