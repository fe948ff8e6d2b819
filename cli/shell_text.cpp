#include "cli/shell_text.h"

#include <cstdint>

#include "text/utf8_text.h"

namespace corvalt {

namespace {

constexpr uint32_t kControlPictures = 0x2400;  // "␀": U+2400 + the control's code
constexpr uint32_t kDeletePicture = 0x2421;
constexpr uint32_t kReplacementCharacter = 0xFFFD;

uint32_t ShownCharacter(uint8_t byte)
{
    if (byte < 0x20)
        return kControlPictures + byte;
    if (byte == 0x7F)
        return kDeletePicture;
    if (byte >= 0x80 && byte < 0xA0)
        return kReplacementCharacter;
    return byte;
}

}  // namespace

std::string Latin1ToUtf8(std::string_view bytes)
{
    std::string text;
    for (const char byte : bytes)
        AppendUtf8(text, static_cast<uint8_t>(byte));
    return text;
}

std::string CardTextForShell(std::string_view bytes)
{
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes.substr(i, 2) == "\r\n") {
            text.push_back('\n');
            ++i;
            continue;
        }
        AppendUtf8(text, ShownCharacter(static_cast<uint8_t>(bytes[i])));
    }
    return text;
}

std::string TextForShell(std::string_view text)
{
    const std::string valid = ToValidUtf8(text);
    std::string shown;
    for (size_t at = 0; at < valid.size();) {
        const Utf8Char c = DecodeUtf8(valid, at);
        if (c.m_codePoint < 0xA0)
            AppendUtf8(shown, ShownCharacter(static_cast<uint8_t>(c.m_codePoint)));
        else
            shown.append(valid, at, c.m_length);
        at += c.m_length;
    }
    return shown;
}

}  // namespace corvalt
