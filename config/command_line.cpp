#include "config/command_line.h"

namespace corvalt {

void AppendHexByte(std::string& line, uint8_t value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    line += ' ';
    line += kDigits[value >> 4];
    line += kDigits[value & 0x0F];
}

}  // namespace corvalt
