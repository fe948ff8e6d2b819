// The command of the "Magnetic Card Data Format" group: one of the fixed
// formats with its track 3 start sentinel, the user format switched on or
// off ("Toggle User"), or one user-defined sentinel, given as a key stroke
// ("Specific ") or as a literal string ("Literal").
#pragma once

#include <string>
#include <vector>

#include "config/panel_settings.h"

namespace corvalt {

// The one command line the group's Apply sends, or none when a specific
// sentinel names no key (the operator is not told). Building a specific
// sentinel trims white space from both ends of m_strSpecificSentinel, so
// the edit shows the text that was read.
std::vector<std::string> BuildDataFormatCommands(PanelSettings& settings);

}  // namespace corvalt
