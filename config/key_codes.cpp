#include "config/key_codes.h"

#include <algorithm>

namespace corvalt {

namespace {

struct CharKey {
    unsigned char ch;
    uint8_t keyCode;
    bool shift;
};

// The printable characters other than letters and digits.
constexpr CharKey kPunctuationKeys[] = {
    {'!', 0x1E, true}, {'"', 0x34, true},   {'#', 0x20, true},  {'$', 0x21, true},   {'%', 0x22, true},
    {'&', 0x24, true}, {'\'', 0x34, false}, {'(', 0x26, true},  {')', 0x27, true},   {'*', 0x25, true},
    {'+', 0x2E, true}, {',', 0x36, false},  {'-', 0x2D, false}, {'.', 0x37, false},  {'/', 0x38, false},
    {':', 0x33, true}, {';', 0x33, false},  {'<', 0x36, true},  {'=', 0x2E, false},  {'>', 0x37, true},
    {'?', 0x38, true}, {'@', 0x1F, true},   {'[', 0x2F, false}, {'\\', 0x31, false}, {']', 0x30, false},
    {'^', 0x23, true}, {'_', 0x2D, true},   {'`', 0x32, false}, {'{', 0x2F, true},   {'|', 0x31, true},
    {'}', 0x30, true}, {'~', 0x32, true},
};

struct NamedKey {
    std::string_view name;  // upper case
    uint8_t keyCode;
};

constexpr NamedKey kNamedKeys[] = {
    {"ESC", 0x29},   {"DEL", 0x2A},   {"TAB", 0x2B},   {"F10", 0x43},    {"F11", 0x44},  {"F12", 0x45},
    {"INS", 0x49},   {"END", 0x4D},   {"HOME", 0x4A},  {"PGUP", 0x4B},   {"PGDN", 0x4E}, {"ENTER", 0x28},
    {"SPACE", 0x2C}, {"PRTSC", 0x46}, {"PAUSE", 0x48}, {"SCROLL", 0x47},
};

// ASCII only, whatever the locale: the names are ASCII.
char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualsIgnoringCase(std::string_view text, std::string_view upperCase)
{
    return text.size() == upperCase.size() &&
           std::equal(text.begin(), text.end(), upperCase.begin(), [](char a, char b) { return AsciiUpper(a) == b; });
}

}  // namespace

uint16_t CharToKeyCode(unsigned char ch)
{
    if (ch >= 'A' && ch <= 'Z')
        return static_cast<uint16_t>(0x04 + (ch - 'A'));
    if (ch >= '1' && ch <= '9')
        return static_cast<uint16_t>(0x1E + (ch - '1'));
    if (ch == '0')
        return 0x27;
    for (const CharKey& key : kPunctuationKeys) {
        if (key.ch == ch)
            return static_cast<uint16_t>((key.shift ? kModifierShift << 8 : 0) | key.keyCode);
    }
    return 0;
}

uint8_t KeyNameToKeyCode(std::string_view name)
{
    for (const NamedKey& key : kNamedKeys) {
        if (EqualsIgnoringCase(name, key.name))
            return key.keyCode;
    }
    return 0;
}

}  // namespace corvalt
