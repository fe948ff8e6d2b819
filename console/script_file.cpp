#include "console/script_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "console/command_text.h"
#include "console/utf8_text.h"

namespace corvalt {

namespace {

constexpr size_t kShortestCommand = 2;

std::string FileError(const char* what, const std::string& path, int code)
{
    return std::string(what) + " \"" + ToValidUtf8(path) + "\": " + std::strerror(code);
}

}  // namespace

std::vector<std::string> SplitScriptLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::string line;
    bool open = false;  // a line has started and not yet ended
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[++i] != '\n')
                line += bytes[i];
            lines.push_back(std::move(line));
            line.clear();
            open = false;
        } else {
            line += c;
            open = true;
        }
    }
    if (open)
        lines.push_back(std::move(line));
    return lines;
}

std::string_view TrimWhiteSpace(std::string_view text)
{
    constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";
    const size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);
}

std::string ScriptLineCommand(std::string_view line)
{
    line = TrimWhiteSpace(line);
    const size_t semicolon = line.find(';');
    if (semicolon == std::string_view::npos || semicolon == 0)
        return {};
    const std::string_view command = TrimWhiteSpace(line.substr(0, semicolon));
    if (command.size() < kShortestCommand)
        return {};
    return ParseCommandLine(std::string(command));
}

ScriptContents ReadScript(std::string_view bytes, size_t capacity)
{
    ScriptContents script;
    for (const std::string& line : SplitScriptLines(bytes)) {
        script.listing.push_back(ToValidUtf8(TrimWhiteSpace(line)));
        std::string command = ScriptLineCommand(line);
        if (command.empty())
            continue;
        if (script.commands.size() < capacity)
            script.commands.push_back(std::move(command));
        else
            ++script.leftOut;
    }
    return script;
}

bool ReadScriptFile(const std::string& path, std::string& bytes, std::string& error)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) {
        error = FileError("Cannot open", path, errno);
        return false;
    }
    std::string contents;
    char buffer[4096];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        contents.append(buffer, count);
    if (std::ferror(file.get())) {
        error = FileError("Cannot read", path, errno);
        return false;
    }
    bytes = std::move(contents);
    return true;
}

}  // namespace corvalt
