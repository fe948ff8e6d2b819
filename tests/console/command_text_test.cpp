// The command language: normal forms and the byte value of a digit pair.
#include "console/command_text.h"

#include <gtest/gtest.h>

namespace corvalt {
namespace {

struct NormalFormCase {
    std::string typed;
    std::string normal;
};

TEST(ParseCommandLine, RewritesEveryLineIntoItsNormalForm)
{
    const NormalFormCase cases[] = {
        {"01 1 0 00", "01 10 00"},
        {"0110001", "01 10 00 1"},  // odd digit count: a lone digit last
        {"1 2 3", "12 3"},          // framed as 0x12 0x30
        {"  02  ", "02"},
        {"10 1B 54", "10 1B 54"},
        {"delay 5", "delay 5"},
        {"delay5", "delay 5"},
        {"delay 1 0", "delay 10"},
        {"delay", "delay "},          // no count text at all
        {" d e l a y x", "delay x"},  // nothing after the word is checked
        {"delay\t7", "delay \t7"},    // only blanks are removed
        {"   ", ""},
        {"", ""},
        {"01 1b", ""},  // lower-case digit
        {"01 1b 54", ""},
        {"01\t10", ""},    // a tab is not a blank
        {"Delay 5", ""},   // the word is compared case-sensitively
        {"10delay5", ""},  // the word counts only at the start
        {"0x01", ""},
        {"01 10 00;", ""},
    };
    for (const NormalFormCase& c : cases)
        EXPECT_EQ(ParseCommandLine(c.typed), c.normal) << '"' << c.typed << '"';
}

TEST(HexPairToByte, TakesTwoDigitsOfEitherCaseAndCountsTheRestAsZero)
{
    const std::pair<std::string, uint8_t> cases[] = {
        {"1B", 0x1B}, {"1b", 0x1B}, {"FF", 0xFF}, {"00", 0x00}, {"5", 0x50},
        {"", 0x00},   {"G1", 0x01}, {"1G", 0x10}, {"de", 0xDE}, {"1B 54", 0x1B},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(HexPairToByte(text), value) << '"' << text << '"';
}

}  // namespace
}  // namespace corvalt
