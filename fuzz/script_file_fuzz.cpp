// Reads arbitrary bytes as a command script. Input layout: one byte sets
// the command capacity (0 to 255), the rest is the file. Beyond the
// sanitizers' checks it traps when a listed line is not valid UTF-8, a kept
// command is not in normal form, or the counts do not add up.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console/command_text.h"
#include "console/script_file.h"
#include "console/utf8_text.h"

namespace {

void check(bool ok)
{
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    using namespace corvalt;
    if (size == 0) return 0;
    const size_t capacity = bytes[0];
    const std::string_view file(reinterpret_cast<const char*>(bytes + 1), size - 1);

    const ScriptContents script = ReadScript(file, capacity);
    const std::vector<std::string> lines = SplitScriptLines(file);
    check(script.listing.size() == lines.size());
    check(script.commands.size() <= capacity);
    check(script.leftOut == 0 || script.commands.size() == capacity);

    size_t commands = 0;
    for (const std::string& line : lines) {
        check(line.find('\n') == std::string::npos);
        if (!ScriptLineCommand(line).empty()) ++commands;
    }
    check(commands == script.commands.size() + script.leftOut);
    for (const std::string& listed : script.listing) check(ToValidUtf8(listed) == listed);
    for (const std::string& command : script.commands) check(!command.empty() && ParseCommandLine(command) == command);
    return 0;
}
