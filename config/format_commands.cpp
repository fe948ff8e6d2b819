#include "config/format_commands.h"

#include <cstdint>
#include <string_view>

#include "config/key_codes.h"
#include "config/latin1_text.h"
#include "text/hex_byte.h"
#include "text/white_space.h"

namespace corvalt {

namespace {

constexpr int kUserFormat = 4;  // "USERSS + Data + USERES +"

enum UserSentinelMode { kSpecificSentinel = 0, kLiteralSentinel = 1, kToggleUser = 2 };

// The reader keeps at most this many characters of a literal sentinel.
constexpr size_t kMaxLiteralLength = 20;

constexpr uint8_t kEnterBit = 0x80;
constexpr uint8_t kLiteralBit = 0x40;

// Fixed formats: the format's index with the track 3 start sentinel's index
// in bits 4-5. The user format: 04, with bit 7 for the Enter after the data.
std::string FormatCommand(const PanelSettings& settings)
{
    uint8_t format;
    if (settings.m_nDataFormat < kUserFormat)
        format = static_cast<uint8_t>(settings.m_nDataFormat + 16 * settings.m_nTrack3StartSentinel);
    else
        format = static_cast<uint8_t>(kUserFormat | (settings.m_bEnter != 0 ? kEnterBit : 0));
    std::string line = "10 1B 46";
    AppendHexByte(line, format);
    return line;
}

// Which sentinel of which track (bit 0: end rather than start; bits 1-2: the
// track), whether it is literal, and bit 7 for the Enter after the data.
std::string SentinelCommandPrefix(const PanelSettings& settings, bool literal)
{
    auto flags = static_cast<uint8_t>(settings.m_nSentinelPosition + 2 * settings.m_nSentinelTrack);
    if (literal)
        flags |= kLiteralBit;
    if (settings.m_bEnter != 0)
        flags |= kEnterBit;
    std::string line = "10 1B 53";
    AppendHexByte(line, flags);
    return line;
}

// The key a specific sentinel's text names, 0 for none: one character, F1
// to F9, or a key name. The text is measured in 8-bit characters; one that
// has no 8-bit form names no key.
uint8_t SentinelKeyCode(const Latin1Text& text, bool ctrlOrAlt, uint8_t& modifiers)
{
    if (!text.exact)
        return 0;
    const std::string& key = text.bytes;
    switch (key.size()) {
    case 1: {
        const uint16_t code = CharToKeyCode(static_cast<unsigned char>(key[0]));
        modifiers |= static_cast<uint8_t>(code >> 8);
        // With Ctrl or Alt the reader sends the plain key, as a keyboard does.
        if (ctrlOrAlt)
            modifiers &= static_cast<uint8_t>(~kModifierShift);
        return static_cast<uint8_t>(code & 0xFF);
    }
    case 2:
        if ((key[0] == 'F' || key[0] == 'f') && key[1] >= '1' && key[1] <= '9')
            return static_cast<uint8_t>(key[1] + 9);  // F1 is 0x3A
        return 0;
    case 3:
    case 4:
    case 5:
    case 6: return KeyNameToKeyCode(key);
    default: return 0;
    }
}

std::vector<std::string> SpecificSentinelCommand(PanelSettings& settings)
{
    const bool ctrl = settings.m_bCtrl != 0;
    const bool alt = settings.m_bAlt != 0;
    uint8_t modifiers = static_cast<uint8_t>((ctrl ? kModifierCtrl : 0) | (alt ? kModifierAlt : 0));
    settings.m_strSpecificSentinel = std::string(TrimWhiteSpace(settings.m_strSpecificSentinel));
    const uint8_t keyCode = SentinelKeyCode(ToLatin1(settings.m_strSpecificSentinel), ctrl || alt, modifiers);
    if (keyCode == 0)
        return {};
    std::string line = SentinelCommandPrefix(settings, false);
    AppendHexByte(line, modifiers);
    AppendHexByte(line, keyCode);
    return {line};
}

// Blanks count; characters after the twentieth are dropped.
std::string LiteralSentinelCommand(const PanelSettings& settings)
{
    std::string line = SentinelCommandPrefix(settings, true);
    const std::string text = ToLatin1(settings.m_strLiteralSentinel).bytes;
    for (size_t i = 0; i < text.size() && i < kMaxLiteralLength; ++i)
        AppendHexByte(line, static_cast<uint8_t>(text[i]));
    return line;
}

}  // namespace

std::vector<std::string> BuildDataFormatCommands(PanelSettings& settings)
{
    if (settings.m_nDataFormat < kUserFormat ||
        (settings.m_nDataFormat == kUserFormat && settings.m_nUserSentinelMode == kToggleUser))
        return {FormatCommand(settings)};
    switch (settings.m_nUserSentinelMode) {
    case kSpecificSentinel: return SpecificSentinelCommand(settings);
    case kLiteralSentinel: return {LiteralSentinelCommand(settings)};
    default: return {};
    }
}

}  // namespace corvalt
