// Decoding card reports of each reader model through the reader's own
// descriptor: which fields each model has, the texts built from the track,
// Stripeseal and serial number bytes, every failure message, and device data
// that declares more than the record can hold.
#include "carddata/card_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "tests/support/fake_clock.h"
#include "tests/support/fake_hid_host.h"
#include "tests/support/input_report_layout.h"

namespace corvalt {
namespace {

using namespace std::string_literals;
using testing::FakeClock;
using testing::FakeHidHost;
using testing::InputField;
using testing::InputReportBuilder;
using testing::InputReportLayout;
using testing::ReaderCardFields;
using testing::WithCount;
using testing::Without;

// A reader of one model, opened and with its field sizes looked up.
struct AttachedReader {
    AttachedReader(uint16_t productId, std::vector<InputField> fields) : layout(std::move(fields))
    {
        host.AddDevice("/dev/hidraw0", 0x0801, productId, layout.Descriptor());
        OpenReader(connection);
        LoadDataUsageSizes(connection, card);
    }

    InputReportBuilder NewReport() const { return InputReportBuilder(layout); }
    bool Decode(const std::vector<uint8_t>& report)
    {
        std::ranges::copy(report, connection.InputReport.begin());
        return model != nullptr ? DecodeCardReport(connection, card, *model) : DecodeCardReport(connection, card);
    }

    InputReportLayout layout;
    FakeHidHost host;
    FakeClock clock;
    ReaderConnection connection{host, clock};
    CardData card;
    const ReaderModel* model = nullptr;  // decoded as this model instead of its product id's
};

InputReportBuilder SwipeWithTracks(const AttachedReader& reader)
{
    InputReportBuilder report = reader.NewReport();
    report.Set(0x20, 0).Set(0x21, 0).Set(0x22, 1);
    report.Set(0x28, 16).Set(0x29, 12).Set(0x2A, 0);
    report.Set(0x30, "%B4111111111111?").Set(0x31, ";4111111111?").Set(0x32, "garbage");
    report.Set(0x38, 1);
    return report;
}

TEST(CardDecoderTest, BasicModelReadsTracksAndEncodeTypeOnly)
{
    AttachedReader reader(0x0002, ReaderCardFields(0x0002));
    ASSERT_TRUE(reader.connection.IsOpen());
    EXPECT_EQ(reader.connection.LastErrorText, "");
    EXPECT_EQ(reader.card.Tk1DataSize, 110);
    EXPECT_EQ(reader.card.Tk3DataSize, 110);
    EXPECT_EQ(reader.card.StripesealDataSize, 0);
    reader.card.CardSts = 7;

    // The layout has no card status (usage 0x39), which this model never reads.
    ASSERT_TRUE(reader.Decode(SwipeWithTracks(reader)));

    const CardData& card = reader.card;
    EXPECT_EQ(card.Tk3DcdSts, 1u);
    EXPECT_EQ(card.Tk1Len, 16u);
    EXPECT_EQ(card.Track1Text, "%B4111111111111?");
    EXPECT_EQ(card.Track2Text, ";4111111111?");
    EXPECT_EQ(card.Track3Text, "");
    EXPECT_EQ(card.CrdEcdTyp, 1u);
    EXPECT_EQ(card.CardSts, 7u);
    EXPECT_EQ(reader.connection.LastErrorText, "");
}

TEST(CardDecoderTest, DirectionModelsReadTheCardStatusAndFailWithoutIt)
{
    for (uint16_t productId : {0x0003, 0x3001}) {
        SCOPED_TRACE(productId);
        AttachedReader withStatus(productId, ReaderCardFields(productId));
        ASSERT_TRUE(withStatus.Decode(SwipeWithTracks(withStatus).Set(0x39, 1)));
        EXPECT_EQ(withStatus.card.CardSts, 1u);

        AttachedReader withoutStatus(productId, Without(ReaderCardFields(productId), 0x39));
        EXPECT_FALSE(withoutStatus.Decode(SwipeWithTracks(withoutStatus)));
        EXPECT_EQ(withoutStatus.connection.LastErrorText, "HidP_GetUsageValue Failed on CardSts");
        EXPECT_EQ(withoutStatus.card.Track2Text, ";4111111111?");
        EXPECT_EQ(withoutStatus.card.CrdEcdTyp, 1u);
    }
}

TEST(CardDecoderTest, SealedModelReadsEveryField)
{
    AttachedReader reader(0x0009, ReaderCardFields(0x0009, 110, 64, 16));
    EXPECT_EQ(reader.card.StripesealDataSize, 64);
    EXPECT_EQ(reader.card.SerialNumberSize, 16);
    reader.card.CardSts = 1;

    InputReportBuilder report = SwipeWithTracks(reader);
    report.Set(0x23, 0x1A).Set(0x2B, 5).Set(0x33, "\x01\x02\x00\xFE\xFF"s).Set(0x40, "12345").Set(0x41, 0xFFFFFFFF);
    ASSERT_TRUE(reader.Decode(report));

    const CardData& card = reader.card;
    EXPECT_EQ(card.StripesealSts, 0x1Au);
    EXPECT_EQ(card.StripesealLen, 5u);
    EXPECT_EQ(card.StripesealText, "\x01\x02\x00\xFE\xFF"s);
    EXPECT_EQ(card.SerialNumberText, "12345");
    EXPECT_EQ(card.SequenceCounter, -1);
    EXPECT_EQ(card.CardSts, 1u);  // not this model's field: left as it was
}

// A model that reported the swipe direction and the seal fields too would
// have every one of them read.
TEST(CardDecoderTest, AModelWithCardStatusAndSealFieldsReadsBoth)
{
    const ReaderModel both{0x0009, ReaderMode::kHid, true, true, false};
    AttachedReader reader(0x0009, ReaderCardFields(both));
    reader.model = &both;
    InputReportBuilder report = SwipeWithTracks(reader).Set(0x39, 1);
    report.Set(0x23, 0x1A).Set(0x2B, 2).Set(0x33, "\xE9Z").Set(0x40, "SN42").Set(0x41, 7);
    ASSERT_TRUE(reader.Decode(report)) << reader.connection.LastErrorText;

    EXPECT_EQ(reader.card.CardSts, 1u);
    EXPECT_EQ(reader.card.StripesealSts, 0x1Au);
    EXPECT_EQ(reader.card.StripesealText, "\xE9Z");
    EXPECT_EQ(reader.card.SerialNumberText, "SN42");
    EXPECT_EQ(reader.card.SequenceCounter, 7);
}

TEST(CardDecoderTest, TextsFollowTheLengthsNotTheBytes)
{
    AttachedReader reader(0x0009, ReaderCardFields(0x0009));
    InputReportBuilder report = reader.NewReport();
    report.Set(0x28, 5).Set(0x30, "AB\0CD"s);  // a zero byte inside the counted length
    report.Set(0x29, 0).Set(0x31, "not counted");
    report.Set(0x40, "0123456789ABCDEF");  // the serial number fills its field
    ASSERT_TRUE(reader.Decode(report));

    EXPECT_EQ(reader.card.Track1Text, "AB\0CD"s);
    EXPECT_EQ(reader.card.Track2Text, "");
    EXPECT_EQ(reader.card.SerialNumberText, "0123456789ABCDEF");
}

TEST(CardDecoderTest, EveryFieldThatCannotBeReadEndsTheDecodeWithItsMessage)
{
    const struct {
        uint16_t usage;
        const char* message;
    } cases[] = {
        {0x20, "HidP_GetUsageValue Failed on Tk1DcdSts"},
        {0x21, "HidP_GetUsageValue Failed on Tk2DcdSts"},
        {0x22, "HidP_GetUsageValue Failed on Tk3DcdSts"},
        {0x28, "HidP_GetUsageValue Failed on Tk1Len"},
        {0x29, "HidP_GetUsageValue Failed on Tk2Len"},
        {0x2A, "HidP_GetUsageValue Failed on Tk3Len"},
        {0x30, "HidP_GetUsageValueArray Failed on Tk1Data"},
        {0x31, "HidP_GetUsageValueArray Failed on Tk2Data"},
        {0x32, "HidP_GetUsageValueArray Failed on Tk3Data"},
        {0x38, "HidP_GetUsageValue Failed on CrdEcdTyp"},
        {0x23, "HidP_GetUsageValue Failed on StripesealSts"},
        {0x2B, "HidP_GetUsageValue Failed on StripesealLen"},
        {0x33, "HidP_GetUsageValueArray Failed on StripesealData"},
        {0x40, "HidP_GetUsageValueArray Failed on DeviceSerialNumberData"},
        {0x41, "HidP_GetUsageValue Failed on SequenceCounter"},
    };
    for (const auto& missing : cases) {
        SCOPED_TRACE(missing.message);
        AttachedReader reader(0x0009, Without(ReaderCardFields(0x0009), missing.usage));
        EXPECT_FALSE(reader.Decode(reader.NewReport()));
        EXPECT_EQ(reader.connection.LastErrorText, missing.message);
    }
}

TEST(CardDecoderTest, SizeLookupStopsAtTheFirstDataFieldNotFound)
{
    CardData card;
    card.Tk3DataSize = 77;
    FakeHidHost host;
    FakeClock clock;
    ReaderConnection connection(host, clock);
    host.AddDevice("/dev/hidraw0", 0x0801, 0x0002,
                   InputReportLayout(Without(ReaderCardFields(0x0002), 0x31)).Descriptor());
    OpenReader(connection);

    LoadDataUsageSizes(connection, card);

    EXPECT_EQ(connection.LastErrorText, "HidP_GetSpecificValueCaps Failed to find Track 2 data usage");
    EXPECT_EQ(card.Tk1DataSize, 110);
    EXPECT_EQ(card.Tk3DataSize, 77);
}

TEST(CardDecoderTest, SizeLookupWithoutADescriptorTakesNoSize)
{
    FakeHidHost host;
    FakeClock clock;
    ReaderConnection connection(host, clock);
    CardData card;
    card.Tk1DataSize = 9;

    LoadDataUsageSizes(connection, card);  // no reader open

    // Each failed call leaves its message; the last one stays.
    EXPECT_EQ(connection.LastErrorText, "01 HidP_GetSpecificValueCaps Failed on Track 3 data usage");
    EXPECT_EQ(card.Tk1DataSize, 0);
}

TEST(CardDecoderTest, DeclaredFieldsLargerThanTheRecordAreRefusedNotOverrun)
{
    AttachedReader tracks(0x0002, WithCount(ReaderCardFields(0x0002), 0x30, 200));
    EXPECT_EQ(tracks.card.Tk1DataSize, 200);
    InputReportBuilder report = tracks.NewReport();
    report.Set(0x28, 200).Set(0x30, std::string(200, 'X'));
    EXPECT_FALSE(tracks.Decode(report));
    EXPECT_EQ(tracks.connection.LastErrorText, "HidP_GetUsageValueArray Failed on Tk1Data");
    EXPECT_TRUE(std::ranges::all_of(tracks.card.Tk2Data, [](uint8_t b) { return b == 0; }));

    AttachedReader serial(0x0009, ReaderCardFields(0x0009, 60, 64, 80));
    EXPECT_EQ(serial.card.SerialNumberSize, 80);
    EXPECT_FALSE(serial.Decode(serial.NewReport().Set(0x40, std::string(80, '7'))));
    EXPECT_EQ(serial.connection.LastErrorText, "HidP_GetUsageValueArray Failed on DeviceSerialNumberData");
    EXPECT_EQ(serial.card.SerialNumberText, "");
}

// A length counts only up to the field's declared size and the record's
// room: bytes past the declared size were never in this report, whatever an
// earlier reader with larger fields left in the record.
TEST(CardDecoderTest, LengthsAreCutAtTheDeclaredSizeAndTheRecordsEnd)
{
    const struct {
        uint16_t trackBytes;
        uint32_t trackLength;
    } cases[] = {{128, 250}, {110, 120}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.trackBytes);
        AttachedReader reader(0x0009, ReaderCardFields(0x0009, c.trackBytes, 40, 16));
        std::ranges::fill(reader.card.Tk1Data, 'X');
        std::ranges::fill(reader.card.StripesealData, 'Y');
        InputReportBuilder report = reader.NewReport();
        report.Set(0x28, c.trackLength).Set(0x30, std::string(c.trackBytes, 'T'));
        report.Set(0x2B, 100000).Set(0x33, std::string(40, 'S'));
        ASSERT_TRUE(reader.Decode(report));

        EXPECT_EQ(reader.card.Track1Text, std::string(c.trackBytes, 'T'));
        EXPECT_EQ(reader.card.StripesealText, std::string(40, 'S'));
    }
}

}  // namespace
}  // namespace corvalt
