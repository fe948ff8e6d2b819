// The text of a decoded swipe, exactly as the operator sees it: every line,
// every CR LF.
#include "carddata/card_text.h"

#include <gtest/gtest.h>

#include <string>

namespace corvalt {
namespace {

using namespace std::string_literals;

CardData Track1Card(std::string text)
{
    CardData card;
    card.Tk1Len = static_cast<uint32_t>(text.size());
    card.Track1Text = std::move(text);
    return card;
}

// The first line, up to its CR LF.
std::string FirstLine(const std::string& text)
{
    return text.substr(0, text.find("\r\n"));
}

TEST(CardTextTest, EncodeTypeNames)
{
    const char* names[] = {"ISO", "AAMVA", "CADL", "BLANK", "OTHER", "UNDETERMINED", "NONE"};
    for (uint8_t code = 0; code < 7; ++code)
        EXPECT_EQ(EncodeTypeName(code), names[code]);
    EXPECT_EQ(EncodeTypeName(7), "");
    EXPECT_EQ(EncodeTypeName(255), "");
}

TEST(CardTextTest, BasicModelShowsTracksThenFourEmptyLines)
{
    CardData card = Track1Card("%B4111?");
    card.Track2Text = ";4111?";
    card.Tk2Len = 6;
    card.CrdEcdTyp = 0;
    card.CardSts = 1;

    EXPECT_EQ(FormatCardText(card, 0x0002),
              "Card Encode Type = ISO\r\n"
              "Track 1 = %B4111?\r\n"
              "Track 2 = ;4111?\r\n"
              "Track 3 = \r\n"
              "\r\n\r\n\r\n");
}

TEST(CardTextTest, FirstLineNamesTheEncodeTypeAndTheDirectionWhereReported)
{
    const struct {
        uint16_t productId;
        uint32_t encodeType;
        uint32_t cardStatus;
        const char* line;
    } cases[] = {
        {0x0002, 6, 0, "Card Encode Type = NONE"},
        {0x0002, 7, 0, "Card Encode Type = "},
        {0x0002, 0x101, 0, "Card Encode Type = AAMVA"},
        {0x0003, 0, 1, "Card Encode Type = ISO, Swipe Direction = Insert"},
        {0x0003, 0, 2, "Card Encode Type = ISO, Swipe Direction = Withdrawal"},
        {0x3001, 7, 3, "Card Encode Type = , Swipe Direction = Insert"},
        {0x3001, 1, 0, "Card Encode Type = AAMVA, Swipe Direction = Withdrawal"},
        {0x0009, 2, 1, "Card Encode Type = CADL"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CardData card;
        card.CrdEcdTyp = c.encodeType;
        card.CardSts = c.cardStatus;
        EXPECT_EQ(FirstLine(FormatCardText(card, c.productId)), c.line);
    }
}

TEST(CardTextTest, UndecodedTracksShowErrorWhateverTheirData)
{
    CardData card = Track1Card("");
    card.Tk1DcdSts = 1;
    card.Tk2DcdSts = 2;  // bit 0 clear: decoded
    card.Track2Text = "kept";
    card.Tk2Len = 4;
    card.Tk3DcdSts = 0xFF;
    card.Track3Text = std::string(60, 'x');
    card.Tk3Len = 60;

    EXPECT_EQ(FormatCardText(card, 0x0002),
              "Card Encode Type = ISO\r\n"
              "Track 1 = Error\r\n"
              "Track 2 = kept\r\n"
              "Track 3 = Error\r\n          \r\n"
              "\r\n\r\n\r\n");
}

TEST(CardTextTest, TracksOverFiftyFiveCharactersBreakAfterEightyFive)
{
    const std::string digits = "0123456789";
    std::string hundred;
    for (int i = 0; i < 10; ++i)
        hundred += digits;
    const std::string indent(10, ' ');

    const struct {
        size_t length;
        std::string shown;
    } cases[] = {
        {55, hundred.substr(0, 55)},
        {56, hundred.substr(0, 56) + "\r\n" + indent},
        {85, hundred.substr(0, 85) + "\r\n" + indent},
        {86, hundred.substr(0, 85) + "\r\n" + indent + "5"},
        {100, hundred.substr(0, 85) + "\r\n" + indent + "567890123456789"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const std::string text = FormatCardText(Track1Card(hundred.substr(0, c.length)), 0x0002);
        EXPECT_EQ(text,
                  "Card Encode Type = ISO\r\nTrack 1 = " + c.shown + "\r\nTrack 2 = \r\nTrack 3 = \r\n\r\n\r\n\r\n");
    }
}

TEST(CardTextTest, SealedModelAddsStripesealSerialNumberAndCounter)
{
    CardData card = Track1Card("AB\0C"s);
    card.CardSts = 1;
    card.StripesealSts = 26;
    card.StripesealText = "\x01\xFF"s;
    card.SerialNumberText = "12345";
    card.SequenceCounter = -1;

    EXPECT_EQ(FormatCardText(card, 0x0009),
              "Card Encode Type = ISO\r\n"
              "Track 1 = AB\0C\r\n"
              "Track 2 = \r\n"
              "Track 3 = \r\n"
              "Stripeseal Status (hex) = 1A\r\n"
              "Stripeseal Data (hex) = \x01\xFF\r\n"
              "Device Serial Number = 12345\r\n"
              "Sequence Counter = -1"s);

    card.StripesealSts = 0;
    card.SequenceCounter = 305;
    const std::string text = FormatCardText(card, 0x0009);
    EXPECT_NE(text.find("\r\nStripeseal Status (hex) = 0\r\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\nSequence Counter = 305"));
}

}  // namespace
}  // namespace corvalt
