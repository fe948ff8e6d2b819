// Framing a command into the outgoing feature report, and the two lines an
// exchange writes into the transcript.
#include "console/command_framing.h"

#include <gtest/gtest.h>

#include "console/command_text.h"
#include "console/exchange_lines.h"
#include "reader/feature_exchange.h"
#include "tests/support/recording_message_box.h"

namespace corvalt {
namespace {

using testing::RecordingMessageBox;

// n data bytes "00 01 02 ..." after the command byte 01.
std::string CommandWithData(size_t n)
{
    std::string text = "01";
    for (size_t i = 0; i < n; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, " %02X", static_cast<unsigned>(i & 0xFF));
        text += pair;
    }
    return text;
}

struct FrameCase {
    const char* name;
    std::string text;
    bool autoAddLength;
    size_t reportLength;
    bool framed;
    std::vector<uint8_t> head;  // the report's first bytes; the rest up to N must be 0
};

TEST(FrameCommand, BuildsTheReportOrRefusesIt)
{
    const FrameCase cases[] = {
        {"AutoLength", "01 10 00", true, 64, true, {0x00, 0x01, 0x02, 0x10, 0x00}},
        {"TypedLength", "01 10 00", false, 64, true, {0x00, 0x01, 0x10, 0x00}},
        {"NoDataAutoLength", "02", true, 64, true, {0x00, 0x02, 0x00}},
        {"MissingTypedLength", "02", false, 64, false, {}},
        {"Empty", "", true, 64, false, {}},
        {"LoneTrailingDigitIsAHighNibble", "01 10 00 1", true, 64, true, {0x00, 0x01, 0x03, 0x10, 0x00, 0x10}},
        {"TypedLengthSentAsTyped", "01 05 AA BB", false, 64, true, {0x00, 0x01, 0x05, 0xAA, 0xBB}},
        {"DelayTextFramedByThePairRule", ParseCommandLine("delay 5"), true, 64, true, {0x00, 0xDE, 0x02, 0xA0, 0x50}},
        {"ShortReportHoldsNoData", "01", true, 3, true, {0x00, 0x01, 0x00}},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingMessageBox messages;
        FeatureReport report;
        report.fill(0xEE);
        EXPECT_EQ(FrameCommand(c.text, c.autoAddLength, report, c.reportLength, messages), c.framed);
        EXPECT_TRUE(messages.texts.empty());
        if (!c.framed)
            continue;
        std::vector<uint8_t> expected(c.reportLength, 0);
        std::copy(c.head.begin(), c.head.end(), expected.begin());
        EXPECT_EQ(std::vector<uint8_t>(report.begin(), report.begin() + c.reportLength), expected);
    }
}

TEST(FrameCommand, RefusesMoreDataThanTheReportHolds)
{
    struct Case {
        size_t reportLength;
        size_t dataBytes;
        bool framed;
        const char* message;
    };
    const Case cases[] = {
        {64, 61, true, nullptr},
        {64, 62, false, "Data portion of message can't be longer than 61  bytes"},
        {3, 1, false, "Data portion of message can't be longer than 0  bytes"},
        {2, 1, false, "Data portion of message can't be longer than 0  bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.reportLength) + "/" + std::to_string(c.dataBytes));
        RecordingMessageBox messages;
        FeatureReport report{};
        EXPECT_EQ(FrameCommand(CommandWithData(c.dataBytes), true, report, c.reportLength, messages), c.framed);
        if (c.message == nullptr) {
            EXPECT_TRUE(messages.texts.empty());
            EXPECT_EQ(report[2], c.dataBytes);
            EXPECT_EQ(report[63], (c.dataBytes - 1) & 0xFF);
        } else {
            EXPECT_EQ(messages.texts, std::vector<std::string>{c.message});
        }
    }
}

TEST(FrameCommand, AShorterCommandLeavesNothingOfALongerOneBehind)
{
    RecordingMessageBox messages;
    FeatureReport report{};
    ASSERT_TRUE(FrameCommand(CommandWithData(61), true, report, 64, messages));
    ASSERT_TRUE(FrameCommand("02 AA", true, report, 64, messages));
    FeatureReport expected{};
    expected[1] = 0x02, expected[2] = 1, expected[3] = 0xAA;
    EXPECT_EQ(report, expected);
}

FeatureReport Report(std::initializer_list<uint8_t> head)
{
    FeatureReport report{};
    std::copy(head.begin(), head.end(), report.begin());
    return report;
}

TEST(ExchangeLines, ShowTheBytesTheLengthByteAnnounces)
{
    struct Case {
        const char* name;
        FeatureReport report;
        size_t reportLength;
        std::string request;
    };
    const Case cases[] = {
        {"TwoDataBytes", Report({0, 0x01, 0x02, 0x10, 0x00}), 64, "Request      : CMND=01, DATA= 10 00"},
        {"NoData", Report({0, 0x02, 0x00}), 64, "Request      : CMND=02, DATA="},
        {"TypedLengthPastTheData", Report({0, 0x01, 0x05, 0xAA, 0xBB}), 64,
         "Request      : CMND=01, DATA= AA BB 00 00 00"},
        {"LengthFFCountsAsNegative", Report({0, 0x01, 0xFF, 0x12}), 64, "Request      : CMND=01, DATA="},
        {"Length80CountsAsNegative", Report({0, 0x01, 0x80, 0x12}), 64, "Request      : CMND=01, DATA="},
        {"LengthBeyondTheReport", Report({0, 0x01, 0x05, 0xAA, 0xBB}), 5, "Request      : CMND=01, DATA= AA BB"},
        {"ReportTooShortForData", Report({0, 0x01, 0x05, 0xAA}), 2, "Request      : CMND=01, DATA="},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatRequestLine(c.report, c.reportLength), c.request) << c.name;

    std::string sixtyOneZeros;
    for (int i = 0; i < 61; ++i)
        sixtyOneZeros += " 00";
    EXPECT_EQ(FormatRequestLine(Report({0, 0x01, 0x3F}), 64), "Request      : CMND=01, DATA=" + sixtyOneZeros);
    FeatureReport full = Report({0, 0x01, 0x7F});
    EXPECT_EQ(FormatRequestLine(full, 64), "Request      : CMND=01, DATA=" + sixtyOneZeros);
}

TEST(ExchangeLines, ResponseLineFollowsTheExchangeStatus)
{
    const FeatureReport answer = Report({0, 0x00, 0x02, 0x31, 0xFE});
    EXPECT_EQ(FormatResponseLine(ExchangeOutcome::kAnswered, answer, 64), "Response     : RC=00, DATA= 31 FE");
    EXPECT_EQ(FormatResponseLine(ExchangeOutcome::kAnswered, Report({0, 0x80, 0x90, 1}), 64),
              "Response     : RC=80, DATA=");
    EXPECT_EQ(FormatResponseLine(ExchangeOutcome::kNotDelivered, answer, 64), "Response     : Failure during transmit");
    EXPECT_EQ(FormatResponseLine(ExchangeOutcome::kNoAnswer, answer, 64), "Response     : Failure during receive");
}

}  // namespace
}  // namespace corvalt
