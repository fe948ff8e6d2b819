// Commands of the "USB Hid Mode" and "Select Track" groups.
#pragma once

#include <string>
#include <vector>

#include "config/panel_settings.h"

namespace corvalt {

// Switches the reader between HID reader and keyboard emulation, then resets
// it (command 02) and gives it five seconds to come back.
std::vector<std::string> BuildInterfaceModeCommands(const PanelSettings& settings);

// Chooses the tracks the reader sends: a mask with bit 0 for track 1, bit 1
// for track 2, bit 2 for track 3. An empty mask is sent as it is.
std::vector<std::string> BuildTrackSelectionCommands(const PanelSettings& settings);

}  // namespace corvalt
