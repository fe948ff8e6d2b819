// Commands of the "Send Error String" and "User Sentinel + Error String"
// groups: option 30 or 31 of command 10 1B 45, switched on (31) when the
// group's first radio button is chosen and off (30) otherwise.
#pragma once

#include <string>
#include <vector>

#include "config/panel_settings.h"

namespace corvalt {

std::vector<std::string> BuildSendErrorStringCommands(const PanelSettings& settings);
std::vector<std::string> BuildUserSentinelErrorCommands(const PanelSettings& settings);

}  // namespace corvalt
