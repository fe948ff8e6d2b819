// The command lines each Apply of the configuration panels builds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/error_string_commands.h"
#include "config/format_commands.h"
#include "config/interface_commands.h"

namespace corvalt {
namespace {

using Lines = std::vector<std::string>;

TEST(InterfaceModeCommandsTest, ModeThenResetThenFiveSeconds)
{
    PanelSettings settings;
    EXPECT_EQ(BuildInterfaceModeCommands(settings), (Lines{"01 10 00", "02", "delay 5"}));
    settings.m_nInterfaceMode = 1;
    EXPECT_EQ(BuildInterfaceModeCommands(settings), (Lines{"01 10 01", "02", "delay 5"}));
}

TEST(TrackSelectionCommandsTest, MaskOfTheCheckedTracks)
{
    struct Case {
        int track1, track2, track3;
        const char* line;
    };
    for (const Case c : {Case{0, 1, 0, "10 1B 54 02"}, Case{0, 0, 0, "10 1B 54 00"}, Case{1, 1, 1, "10 1B 54 07"},
                         Case{1, 0, 1, "10 1B 54 05"}, Case{2, 0, 0, "10 1B 54 01"}}) {
        PanelSettings settings;
        settings.m_bTrack1 = c.track1;
        settings.m_bTrack2 = c.track2;
        settings.m_bTrack3 = c.track3;
        EXPECT_EQ(BuildTrackSelectionCommands(settings), Lines{c.line});
    }
}

TEST(ErrorStringCommandsTest, OnWithTheFirstRadioOffOtherwise)
{
    PanelSettings settings;
    EXPECT_EQ(BuildSendErrorStringCommands(settings), Lines{"10 1B 45 30 31"});
    EXPECT_EQ(BuildUserSentinelErrorCommands(settings), Lines{"10 1B 45 31 31"});
    settings.m_nSendErrorString = 1;
    settings.m_nErrorStringSentinel = 1;
    EXPECT_EQ(BuildSendErrorStringCommands(settings), Lines{"10 1B 45 30 30"});
    EXPECT_EQ(BuildUserSentinelErrorCommands(settings), Lines{"10 1B 45 31 30"});
}

TEST(DataFormatCommandsTest, InitialSettings)
{
    PanelSettings settings;
    EXPECT_EQ(BuildDataFormatCommands(settings), Lines{"10 1B 46 13"});
}

TEST(DataFormatCommandsTest, EveryFixedFormatWithEveryTrack3StartSentinel)
{
    const char* expected[4][3] = {{"00", "10", "20"}, {"01", "11", "21"}, {"02", "12", "22"}, {"03", "13", "23"}};
    for (int format = 0; format < 4; ++format) {
        for (int sentinel = 0; sentinel < 3; ++sentinel) {
            PanelSettings settings;
            settings.m_nDataFormat = format;
            settings.m_nTrack3StartSentinel = sentinel;
            settings.m_bEnter = 1;  // plays no part in a fixed format
            EXPECT_EQ(BuildDataFormatCommands(settings), Lines{std::string("10 1B 46 ") + expected[format][sentinel]});
        }
    }
}

TEST(DataFormatCommandsTest, ToggleUserWithAndWithoutEnter)
{
    PanelSettings settings;
    settings.m_nDataFormat = 4;
    settings.m_nUserSentinelMode = 2;
    settings.m_nTrack3StartSentinel = 2;  // plays no part
    settings.m_bEnter = 1;
    EXPECT_EQ(BuildDataFormatCommands(settings), Lines{"10 1B 46 84"});
    settings.m_bEnter = 0;
    EXPECT_EQ(BuildDataFormatCommands(settings), Lines{"10 1B 46 04"});
}

struct SpecificCase {
    const char* key;
    int ctrl, alt, enter, position, track;
    const char* line;  // "" for no command
};

TEST(DataFormatCommandsTest, SpecificSentinels)
{
    const SpecificCase cases[] = {
        {"A", 1, 0, 1, 1, 1, "10 1B 53 83 01 04"},
        {"A", 0, 0, 0, 0, 0, "10 1B 53 00 00 04"},
        {"?", 0, 0, 0, 0, 0, "10 1B 53 00 02 38"},  // Shift from the character table
        {"?", 0, 1, 0, 0, 0, "10 1B 53 00 04 38"},  // Alt drops the Shift
        {"!", 1, 0, 0, 0, 0, "10 1B 53 00 01 1E"},  // so does Ctrl
        {"~", 1, 1, 0, 0, 2, "10 1B 53 04 05 32"},
        {" esc ", 0, 0, 0, 0, 0, "10 1B 53 00 00 29"},
        {"\t\r\nTab \v\f", 0, 0, 0, 0, 0, "10 1B 53 00 00 2B"},
        {"f5", 0, 0, 0, 1, 2, "10 1B 53 05 00 3E"},
        {"F1", 0, 0, 0, 0, 0, "10 1B 53 00 00 3A"},
        {"F9", 0, 0, 0, 0, 0, "10 1B 53 00 00 42"},
        {"F10", 0, 0, 0, 0, 0, "10 1B 53 00 00 43"},
        {"pGuP", 1, 0, 0, 0, 0, "10 1B 53 00 01 4B"},
        {"Scroll", 0, 0, 1, 0, 0, "10 1B 53 80 00 47"},
        {"a", 0, 0, 0, 0, 0, ""},  // lower-case letters name no key
        {"F0", 0, 0, 0, 0, 0, ""},
        {"F13", 0, 0, 0, 0, 0, ""},
        {"G5", 0, 0, 0, 0, 0, ""},
        {"ESCAPE1", 0, 0, 0, 0, 0, ""},  // over six characters
        {"", 0, 0, 0, 0, 0, ""},
        {"   ", 0, 0, 0, 0, 0, ""},
        {"\xC3\xA9", 0, 0, 0, 0, 0, ""},      // é: one 8-bit character without a key
        {"\xE2\x82\xAC", 0, 0, 0, 0, 0, ""},  // €: no 8-bit form, not "?"
        {"\xFF", 0, 0, 0, 0, 0, ""},          // not UTF-8 at all
    };
    for (const SpecificCase& c : cases) {
        SCOPED_TRACE(c.key);
        PanelSettings settings;
        settings.m_nDataFormat = 4;
        settings.m_nUserSentinelMode = 0;
        settings.m_strSpecificSentinel = c.key;
        settings.m_bCtrl = c.ctrl;
        settings.m_bAlt = c.alt;
        settings.m_bEnter = c.enter;
        settings.m_nSentinelPosition = c.position;
        settings.m_nSentinelTrack = c.track;
        EXPECT_EQ(BuildDataFormatCommands(settings), *c.line ? Lines{c.line} : Lines{});
    }
}

TEST(DataFormatCommandsTest, SpecificSentinelKeepsItsTrimmedText)
{
    PanelSettings settings;
    settings.m_nDataFormat = 4;
    settings.m_strSpecificSentinel = "  esc \t";
    BuildDataFormatCommands(settings);
    EXPECT_EQ(settings.m_strSpecificSentinel, "esc");

    settings.m_nUserSentinelMode = 1;  // a literal leaves the key text alone
    settings.m_strSpecificSentinel = " x ";
    BuildDataFormatCommands(settings);
    EXPECT_EQ(settings.m_strSpecificSentinel, " x ");
}

struct LiteralCase {
    std::string text;
    int enter, position, track;
    std::string line;
};

TEST(DataFormatCommandsTest, LiteralSentinels)
{
    const std::string twentyFive = "ABCDEFGHIJKLMNOPQRSTUVWXY";
    const LiteralCase cases[] = {
        {"AB", 1, 0, 2, "10 1B 53 C4 41 42"},
        {"", 0, 0, 0, "10 1B 53 40"},
        {"", 1, 1, 1, "10 1B 53 C3"},
        {" a ", 0, 0, 0, "10 1B 53 40 20 61 20"},  // not trimmed
        {twentyFive, 0, 0, 0, "10 1B 53 40 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 51 52 53 54"},  // first 20
        {"\xC3\xA9\xE2\x82\xAC!", 0, 0, 0, "10 1B 53 40 E9 3F 21"},  // é as E9, € as "?"
    };
    for (const LiteralCase& c : cases) {
        SCOPED_TRACE(c.text);
        PanelSettings settings;
        settings.m_nDataFormat = 4;
        settings.m_nUserSentinelMode = 1;
        settings.m_strLiteralSentinel = c.text;
        settings.m_bEnter = c.enter;
        settings.m_nSentinelPosition = c.position;
        settings.m_nSentinelTrack = c.track;
        EXPECT_EQ(BuildDataFormatCommands(settings), Lines{c.line});
    }
}

TEST(DataFormatCommandsTest, TwentyCharactersEvenWhenTheyTakeMoreBytes)
{
    PanelSettings settings;
    settings.m_nDataFormat = 4;
    settings.m_nUserSentinelMode = 1;
    for (int i = 0; i < 22; ++i)
        settings.m_strLiteralSentinel += "\xC3\xBC";  // ü
    std::string expected = "10 1B 53 40";
    for (int i = 0; i < 20; ++i)
        expected += " FC";
    EXPECT_EQ(BuildDataFormatCommands(settings), Lines{expected});
}

}  // namespace
}  // namespace corvalt
