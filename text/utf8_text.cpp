#include "text/utf8_text.h"

namespace corvalt {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool IsContinuation(uint8_t byte)
{
    return (byte & 0xC0) == 0x80;
}

}  // namespace

Utf8Char DecodeUtf8(std::string_view text, size_t at)
{
    const auto lead = static_cast<uint8_t>(text[at]);
    if (lead < 0x80)
        return {1, lead};
    size_t length = 0;
    uint32_t value = 0;
    uint32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return {};
    }
    if (text.size() - at < length)
        return {};
    for (size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<uint8_t>(text[at + k]);
        if (!IsContinuation(byte))
            return {};
        value = (value << 6) | (byte & 0x3F);
    }
    const bool overlong = value < minimum;
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    if (overlong || surrogate || value > 0x10FFFF)
        return {};
    return {length, value};
}

void AppendUtf8(std::string& text, uint32_t codePoint)
{
    if (codePoint < 0x80) {
        text.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        text.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        text.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        text.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        text.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

std::string ToValidUtf8(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const size_t length = DecodeUtf8(bytes, i).m_length;
        if (length == 0) {
            text += kReplacement;
            ++i;
        } else {
            text += bytes.substr(i, length);
            i += length;
        }
    }
    return text;
}

}  // namespace corvalt
