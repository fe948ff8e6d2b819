// What the virtual reader types in keyboard mode, for the settings the
// panels send: each format's sentinels and Enter, track 3's start sentinel,
// user sentinels, and the error string of an unreadable track.
#include "virtualreader/keyboard_typing.h"

#include <gtest/gtest.h>

#include "virtualreader/sample_cards.h"

namespace corvalt {
namespace {

// The keys as text: each character as itself, Enter as "|", a key without
// a character or with Ctrl or Alt as <modifiers:key>.
std::string Typed(const std::vector<KeyStroke>& keys)
{
    std::string text;
    for (const KeyStroke& key : keys) {
        if (key.character == '\r')
            text += '|';
        else if (key.character != 0 && (key.modifiers & 0x05) == 0)
            text += key.character;
        else
            text += "<" + std::to_string(key.modifiers) + ":" + std::to_string(key.key) + ">";
    }
    return text;
}

CardSwipe Card(std::string track1, std::string track2, std::string track3)
{
    CardSwipe card;
    card.tracks = {std::move(track1), std::move(track2), std::move(track3)};
    return card;
}

struct TypingCase {
    const char* name;
    std::vector<std::vector<uint8_t>> commands;  // settings commands' data
    CardSwipe card;
    std::string typed;
};

class KeyboardTypingTest : public ::testing::TestWithParam<TypingCase> {};

TEST_P(KeyboardTypingTest, TypesTheSelectedTracksInTheReadersFormat)
{
    ReaderSettings settings;
    for (const std::vector<uint8_t>& data : GetParam().commands)
        ApplySettingsCommand(settings, data);
    EXPECT_EQ(Typed(TypeSwipe(GetParam().card, settings)), GetParam().typed);
}

CardSwipe Unreadable2()
{
    CardSwipe card = Card("%A1?", ";22?", "");
    card.unreadable[1] = true;
    return card;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, KeyboardTypingTest,
    ::testing::Values(TypingCase{"Default", {}, Card("%Ab?", ";12?", "+3?"), "%Ab?|;12?|+3?|"},
                      TypingCase{"DataEnter", {{0x1B, 0x46, 0x00}}, Card("%A?", ";1?", ""), "A|1|"},
                      TypingCase{"SentinelsNoEnter", {{0x1B, 0x46, 0x22}}, Card("", ";1?", ";3?"), ";1?#3?"},
                      TypingCase{"Track2Only", {{0x1B, 0x54, 0x02}}, Card("%A?", ";1?", ";3?"), ";1?|"},
                      TypingCase{"UnknownFormatKept", {{0x1B, 0x46, 0x05}}, Card("", ";1?", ""), ";1?|"},
                      TypingCase{"UserSentinels",
                                 {{0x1B, 0x46, 0x84}, {0x1B, 0x53, 0xC2, 'S', '2'}, {0x1B, 0x53, 0x83, 0x01, 0x3E}},
                                 Card("%A?", ";1?", ""),
                                 "A|S21<1:62>|"},
                      TypingCase{"ErrorString", {}, Unreadable2(), "%A1?|;E?|"},
                      TypingCase{"NoErrorString", {{0x1B, 0x45, 0x30, 0x30}}, Unreadable2(), "%A1?|"},
                      TypingCase{"UserErrorWithoutSentinel",
                                 {{0x1B, 0x46, 0x04}, {0x1B, 0x53, 0x42, '<'}, {0x1B, 0x45, 0x31, 0x30}},
                                 Unreadable2(),
                                 "A1E"}),
    [](const ::testing::TestParamInfo<TypingCase>& info) { return std::string(info.param.name); });

TEST(KeyStrokeTest, KeysCarryTheirCharacterAndShift)
{
    const KeyStroke upper = CharacterStroke('B');
    EXPECT_EQ(upper.key, 0x05);
    EXPECT_EQ(upper.modifiers, 0x02);
    EXPECT_EQ(CharacterStroke('%').key, 0x22);
    EXPECT_EQ(KeyCodeStroke(0x02, 0x38).character, '?');
    EXPECT_EQ(KeyCodeStroke(0x00, 0x38).character, '/');
    EXPECT_EQ(KeyCodeStroke(0x00, 0x3E).character, 0);  // F5
}

}  // namespace
}  // namespace corvalt
