#include "config/key_codes.h"

#include <gtest/gtest.h>

#include <map>

namespace corvalt {
namespace {

constexpr uint16_t kShift = 0x0200;

// Every byte that names a key, as a US keyboard types it. "`" and "~" are
// the US key 0x32, not the non-US 0x35; lower-case letters name no key.
std::map<int, uint16_t> ExpectedKeys()
{
    std::map<int, uint16_t> keys;
    for (int c = 'A'; c <= 'Z'; ++c)
        keys[c] = static_cast<uint16_t>(0x04 + c - 'A');
    for (int c = '1'; c <= '9'; ++c)
        keys[c] = static_cast<uint16_t>(0x1E + c - '1');
    keys['0'] = 0x27;
    const std::map<int, uint16_t> punctuation = {
        {'!', kShift | 0x1E}, {'"', kShift | 0x34}, {'#', kShift | 0x20}, {'$', kShift | 0x21}, {'%', kShift | 0x22},
        {'&', kShift | 0x24}, {'\'', 0x34},         {'(', kShift | 0x26}, {')', kShift | 0x27}, {'*', kShift | 0x25},
        {'+', kShift | 0x2E}, {',', 0x36},          {'-', 0x2D},          {'.', 0x37},          {'/', 0x38},
        {':', kShift | 0x33}, {';', 0x33},          {'<', kShift | 0x36}, {'=', 0x2E},          {'>', kShift | 0x37},
        {'?', kShift | 0x38}, {'@', kShift | 0x1F}, {'[', 0x2F},          {'\\', 0x31},         {']', 0x30},
        {'^', kShift | 0x23}, {'_', kShift | 0x2D}, {'`', 0x32},          {'{', kShift | 0x2F}, {'|', kShift | 0x31},
        {'}', kShift | 0x30}, {'~', kShift | 0x32},
    };
    keys.insert(punctuation.begin(), punctuation.end());
    return keys;
}

TEST(CharToKeyCodeTest, EveryByteGivesItsKeyOrNothing)
{
    const std::map<int, uint16_t> expected = ExpectedKeys();
    for (int c = 0; c < 256; ++c) {
        const auto found = expected.find(c);
        EXPECT_EQ(CharToKeyCode(static_cast<unsigned char>(c)), found == expected.end() ? 0 : found->second)
            << "byte " << c;
    }
}

TEST(KeyNameToKeyCodeTest, NamesInAnyCase)
{
    const std::pair<const char*, uint8_t> cases[] = {
        {"ESC", 0x29},
        {"del", 0x2A},
        {"Tab", 0x2B},
        {"f10", 0x43},
        {"F11", 0x44},
        {"f12", 0x45},
        {"Ins", 0x49},
        {"eNd", 0x4D},
        {"home", 0x4A},
        {"PgUp", 0x4B},
        {"pgdn", 0x4E},
        {"Enter", 0x28},
        {"SPACE", 0x2C},
        {"PrtSc", 0x46},
        {"pause", 0x48},
        {"Scroll", 0x47},
        // Not names of this table.
        {"F1", 0},
        {"F13", 0},
        {"PAGE UP", 0},
        {"ESC ", 0},
        {"", 0},
    };
    for (const auto& [name, code] : cases)
        EXPECT_EQ(KeyNameToKeyCode(name), code) << name;
}

}  // namespace
}  // namespace corvalt
