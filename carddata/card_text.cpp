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

std::string Shown(std::string_view bytes, ShowBytes show)
{
    return show != nullptr ? show(bytes) : std::string(bytes);
}

std::string TrackText(const std::string& decoded, uint32_t decodeStatus, uint32_t length, ShowBytes show)
{
    const std::string_view text = (decodeStatus & 1u) != 0 ? std::string_view("Error") : decoded;
    if (length <= kLongTrack)
        return Shown(text, show);
    const std::string_view rest = text.size() > kFirstLineChars ? text.substr(kFirstLineChars) : std::string_view();
    return Shown(text.substr(0, kFirstLineChars), show)
        .append(kLineEnd)
        .append(kContinuationIndent)
        .append(Shown(rest, show));
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

std::string FormatCardText(const CardData& card, uint16_t productId, ShowBytes show)
{
    std::string statusLine, dataLine, serialLine, counterLine;
    if (ReportsSealFields(productId)) {
        statusLine = "Stripeseal Status (hex) = " + Printed("%lX", static_cast<unsigned long>(card.StripesealSts));
        dataLine = "Stripeseal Data (hex) = " + Shown(card.StripesealText, show);
        serialLine = "Device Serial Number = " + Shown(card.SerialNumberText, show);
        counterLine = "Sequence Counter = " + Printed("%d", static_cast<int>(card.SequenceCounter));
    }

    std::string text = "Card Encode Type = ";
    text.append(EncodeTypeName(static_cast<uint8_t>(card.CrdEcdTyp & 0xFF)))
        .append(DirectionSuffix(card, productId))
        .append(kLineEnd);
    text.append("Track 1 = ").append(TrackText(card.Track1Text, card.Tk1DcdSts, card.Tk1Len, show)).append(kLineEnd);
    text.append("Track 2 = ").append(TrackText(card.Track2Text, card.Tk2DcdSts, card.Tk2Len, show)).append(kLineEnd);
    text.append("Track 3 = ").append(TrackText(card.Track3Text, card.Tk3DcdSts, card.Tk3Len, show)).append(kLineEnd);
    text.append(statusLine).append(kLineEnd);
    text.append(dataLine).append(kLineEnd);
    text.append(serialLine).append(kLineEnd);
    text.append(counterLine);
    return text;
}

}  // namespace corvalt
