#include "cli/panel_choices.h"

#include "config/error_string_commands.h"
#include "config/format_commands.h"
#include "config/interface_commands.h"

namespace corvalt {

Result<std::vector<std::vector<std::string>>> PanelDownloads(PanelChoices choices)
{
    std::vector<std::vector<std::string>> downloads;
    if (choices.interfaceMode)
        downloads.push_back(BuildInterfaceModeCommands(choices.settings));
    if (choices.tracks)
        downloads.push_back(BuildTrackSelectionCommands(choices.settings));
    if (choices.dataFormat) {
        const std::string key = choices.settings.m_strSpecificSentinel;
        downloads.push_back(BuildDataFormatCommands(choices.settings));
        if (downloads.back().empty())
            return Failure{"--key '" + key +
                           "' names no key: give one character other than a lower-case letter, F1 to F12, or a key "
                           "name such as ESC, TAB, ENTER or PGUP"};
    }
    if (choices.sendErrorString)
        downloads.push_back(BuildSendErrorStringCommands(choices.settings));
    if (choices.errorStringSentinel)
        downloads.push_back(BuildUserSentinelErrorCommands(choices.settings));
    return downloads;
}

}  // namespace corvalt
