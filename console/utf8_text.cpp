#include "console/utf8_text.h"

#include <cstdint>

namespace corvalt {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool IsContinuation(uint8_t byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the valid sequence starting at bytes[i], or 0.
size_t ValidSequenceLength(std::string_view bytes, size_t i)
{
    const auto lead = static_cast<uint8_t>(bytes[i]);
    if (lead < 0x80)
        return 1;
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
        return 0;
    }
    if (bytes.size() - i < length)
        return 0;
    for (size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<uint8_t>(bytes[i + k]);
        if (!IsContinuation(byte))
            return 0;
        value = (value << 6) | (byte & 0x3F);
    }
    const bool overlong = value < minimum;
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return overlong || surrogate || value > 0x10FFFF ? 0 : length;
}

}  // namespace

std::string ToValidUtf8(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const size_t length = ValidSequenceLength(bytes, i);
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
