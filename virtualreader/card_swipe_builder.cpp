#include "virtualreader/card_swipe_builder.h"

#include "text/utf8_text.h"

namespace corvalt {

namespace {

std::string Latin1Bytes(const std::string& utf8)
{
    std::string bytes;
    for (size_t at = 0; at < utf8.size();) {
        const Utf8Char c = DecodeUtf8(utf8, at);
        const bool fits = c.m_length != 0 && c.m_codePoint <= 0xFF;
        bytes.push_back(fits ? static_cast<char>(c.m_codePoint) : '?');
        at += c.m_length != 0 ? c.m_length : 1;
    }
    return bytes;
}

}  // namespace

CardSwipe BuildCardSwipe(const SwipeText& text)
{
    CardSwipe card;
    for (size_t track = 0; track < 3; ++track)
        card.tracks[track] = Latin1Bytes(text.tracks[track]);
    card.unreadable = text.unreadable;
    card.encodeType = text.encodeType;
    card.direction = text.direction;
    return card;
}

}  // namespace corvalt
