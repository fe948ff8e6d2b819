#include "carddata/card_text.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

#include "reader/reader_models.h"

namespace corvalt {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Tracks longer than this are broken after kFirstLineChars characters,
// the rest going on a line indented to line up under the first.
constexpr uint32_t kLongTrack = 55;
constexpr size_t kFirstLineChars = 85;
constexpr std::string_view kContinuationIndent = "          ";  // the width of "Track 1 = "

std::string DirectionSuffix(const CardData& card, uint16_t productId)
{
    if (!ReportsCardStatus(productId))
        return {};
    return ", Swipe Direction = " + std::string(SwipeDirectionName(card.CardSts));
}

std::string TrackText(const std::string& decoded, uint32_t decodeStatus, uint32_t length)
{
    std::string text = (decodeStatus & 1u) != 0 ? std::string("Error") : decoded;
    if (length > kLongTrack) {
        const std::string rest = text.size() > kFirstLineChars ? text.substr(kFirstLineChars) : std::string();
        text.resize(std::min(text.size(), kFirstLineChars));
        text.append(kLineEnd).append(kContinuationIndent).append(rest);
    }
    return text;
}

std::string Printed(const char* format, auto value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

std::string EncodeTypeName(uint8_t code)
{
    static constexpr std::array<std::string_view, 7> kNames = {"ISO",   "AAMVA",        "CADL", "BLANK",
                                                               "OTHER", "UNDETERMINED", "NONE"};
    return code < kNames.size() ? std::string(kNames[code]) : std::string();
}

std::string_view SwipeDirectionName(uint32_t cardStatus)
{
    return (cardStatus & 1u) != 0 ? "Insert" : "Withdrawal";
}

std::string FormatCardText(const CardData& card, uint16_t productId)
{
    std::string statusLine, dataLine, serialLine, counterLine;
    if (ReportsSealFields(productId)) {
        statusLine = "Stripeseal Status (hex) = " + Printed("%lX", static_cast<unsigned long>(card.StripesealSts));
        dataLine = "Stripeseal Data (hex) = " + card.StripesealText;
        serialLine = "Device Serial Number = " + card.SerialNumberText;
        counterLine = "Sequence Counter = " + Printed("%d", static_cast<int>(card.SequenceCounter));
    }

    std::string text = "Card Encode Type = ";
    text.append(EncodeTypeName(static_cast<uint8_t>(card.CrdEcdTyp & 0xFF)))
        .append(DirectionSuffix(card, productId))
        .append(kLineEnd);
    text.append("Track 1 = ").append(TrackText(card.Track1Text, card.Tk1DcdSts, card.Tk1Len)).append(kLineEnd);
    text.append("Track 2 = ").append(TrackText(card.Track2Text, card.Tk2DcdSts, card.Tk2Len)).append(kLineEnd);
    text.append("Track 3 = ").append(TrackText(card.Track3Text, card.Tk3DcdSts, card.Tk3Len)).append(kLineEnd);
    text.append(statusLine).append(kLineEnd);
    text.append(dataLine).append(kLineEnd);
    text.append(serialLine).append(kLineEnd);
    text.append(counterLine);
    return text;
}

}  // namespace corvalt
