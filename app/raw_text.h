// Card data arrives as raw bytes; the window shows them as characters.
#pragma once

#include <string_view>

#include <QString>

namespace corvalt {

// Each byte becomes the character with its code (Latin-1), except a zero
// byte, which becomes the visible symbol "␀" so that the text after it on
// the line still shows.
inline QString RawBytesToQString(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char byte : bytes)
        text += byte == '\0' ? QChar(0x2400) : QChar(static_cast<unsigned char>(byte));
    return text;
}

}  // namespace corvalt
