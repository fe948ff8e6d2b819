#include "config/error_string_commands.h"

namespace corvalt {

namespace {

std::vector<std::string> OptionCommand(const char* prefix, int choice)
{
    return {std::string(prefix) + (choice == 0 ? " 31" : " 30")};
}

}  // namespace

std::vector<std::string> BuildSendErrorStringCommands(const PanelSettings& settings)
{
    return OptionCommand("10 1B 45 30", settings.m_nSendErrorString);
}

std::vector<std::string> BuildUserSentinelErrorCommands(const PanelSettings& settings)
{
    return OptionCommand("10 1B 45 31", settings.m_nErrorStringSentinel);
}

}  // namespace corvalt
