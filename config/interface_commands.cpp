#include "config/interface_commands.h"

#include <cstdint>

#include "text/hex_byte.h"

namespace corvalt {

std::vector<std::string> BuildInterfaceModeCommands(const PanelSettings& settings)
{
    const bool emulateKeyboard = settings.m_nInterfaceMode == 1;
    return {emulateKeyboard ? "01 10 01" : "01 10 00", "02", "delay 5"};
}

std::vector<std::string> BuildTrackSelectionCommands(const PanelSettings& settings)
{
    uint8_t mask = 0;
    if (settings.m_bTrack1 != 0)
        mask |= 0x01;
    if (settings.m_bTrack2 != 0)
        mask |= 0x02;
    if (settings.m_bTrack3 != 0)
        mask |= 0x04;
    std::string line = "10 1B 54";
    AppendHexByte(line, mask);
    return {line};
}

}  // namespace corvalt
