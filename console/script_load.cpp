#include "console/command_console.h"

#include "console/console_texts.h"
#include "console/script_file.h"

namespace corvalt {

namespace {

std::string FoundCommandsStatus(size_t count)
{
    return "Found  " + std::to_string(count) + " commands";
}

std::string LeftOutMessage(size_t leftOut)
{
    return "The command list holds " + std::to_string(kCommandSlotCount) + " commands: the last " +
           std::to_string(leftOut) + (leftOut == 1 ? " command" : " commands") + " of the file were left out.";
}

}  // namespace

bool CommandConsole::LoadCommandFile(const std::filesystem::path& path)
{
    return LoadCommandScript(ReadScriptFile(path));
}

bool CommandConsole::LoadCommandScript(const Result<std::string>& file)
{
    m_window.EnableDownloadButton(false);

    if (!file.Succeeded()) {
        m_messageBox.Show(file.m_reason);
        return false;
    }
    const ScriptContents script = ReadScript(file.m_value, kCommandSlotCount);

    std::string listing;
    for (const std::string& line : script.listing)
        listing += line + std::string(kLineBreak);
    for (size_t i = 0; i < script.commands.size(); ++i)
        m_fields.m_strCommands[i] = script.commands[i];
    m_fields.m_nCommandCount = static_cast<int>(script.commands.size());
    m_window.AppendCommandText(listing);

    if (script.commands.empty()) {
        m_window.ShowStatus(kStatusNoCommandsFound);
    } else {
        m_window.EnableDownloadButton(true);
        m_window.ShowStatus(FoundCommandsStatus(script.commands.size()));
    }
    if (script.leftOut > 0)
        m_messageBox.Show(LeftOutMessage(script.leftOut));
    return true;
}

}  // namespace corvalt
