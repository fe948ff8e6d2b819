#include "cli/shell_text.h"

#include <algorithm>

#include "carddata/card_text.h"
#include "console/console_texts.h"
#include "text/utf8_text.h"

namespace corvalt {

namespace {

constexpr uint32_t kControlPictures = 0x2400;  // "␀": U+2400 + the control's code
constexpr uint32_t kDeletePicture = 0x2421;
constexpr uint32_t kReplacementCharacter = 0xFFFD;

uint32_t ShownCharacter(uint32_t character)
{
    if (character < 0x20)
        return kControlPictures + character;
    if (character == 0x7F)
        return kDeletePicture;
    if (character >= 0x80 && character < 0xA0)
        return kReplacementCharacter;
    return character;
}

}  // namespace

std::string Latin1ToUtf8(std::string_view bytes)
{
    std::string text;
    for (const char byte : bytes)
        AppendUtf8(text, static_cast<uint8_t>(byte));
    return text;
}

std::string BytesForShell(std::string_view bytes)
{
    std::string text;
    for (const char byte : bytes)
        AppendUtf8(text, ShownCharacter(static_cast<uint8_t>(byte)));
    return text;
}

std::string TextForShell(std::string_view text)
{
    std::string shown;
    for (size_t at = 0; at < text.size();) {
        const Utf8Char character = DecodeUtf8(text, at);
        const size_t length = std::max<size_t>(character.m_length, 1);
        const uint32_t shownCharacter =
            character.m_length == 0 ? kReplacementCharacter : ShownCharacter(character.m_codePoint);
        if (character.m_length != 0 && shownCharacter == character.m_codePoint)
            shown.append(text.substr(at, length));
        else
            AppendUtf8(shown, shownCharacter);
        at += length;
    }
    return shown;
}

std::string LinesForShell(std::string_view text)
{
    std::string lines;
    for (size_t at = 0; at < text.size();) {
        const size_t lineBreak = std::min(text.find(kLineBreak, at), text.size());
        lines.append(TextForShell(text.substr(at, lineBreak - at)));
        if (lineBreak < text.size())
            lines.push_back('\n');
        at = lineBreak + kLineBreak.size();
    }
    return lines;
}

std::string CardTextForShell(const CardData& card, uint16_t productId)
{
    return LinesForShell(FormatCardText(card, productId, BytesForShell));
}

}  // namespace corvalt
