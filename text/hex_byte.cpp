#include "text/hex_byte.h"

namespace corvalt {

std::string HexByte(uint8_t value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[value >> 4], kDigits[value & 0x0F]};
}

void AppendHexByte(std::string& line, uint8_t value)
{
    line += ' ';
    line += HexByte(value);
}

}  // namespace corvalt
