#include "config/latin1_text.h"

#include <cstdint>

namespace corvalt {

namespace {

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed sequence that starts at text[at] and its
// code point; 0 when the bytes there are not one.
size_t DecodeOne(std::string_view text, size_t at, uint32_t& codePoint)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    size_t length;
    uint32_t minimum;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - at < length)
        return 0;
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if (!IsContinuation(next))
            return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

}  // namespace

Latin1Text ToLatin1(std::string_view utf8)
{
    Latin1Text result;
    size_t at = 0;
    while (at < utf8.size()) {
        uint32_t codePoint = 0;
        const size_t length = DecodeOne(utf8, at, codePoint);
        if (length != 0 && codePoint <= 0xFF) {
            result.bytes += static_cast<char>(codePoint);
        } else {
            result.bytes += '?';
            result.exact = false;
        }
        at += length != 0 ? length : 1;
    }
    return result;
}

}  // namespace corvalt
