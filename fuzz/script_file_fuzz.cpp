// Reads arbitrary bytes as a command script, in memory and through the file
// path "Load File" takes. Input layout: one byte sets the command capacity
// of the in-memory reading (0 to 255), the rest is the file. Beyond the
// sanitizers' checks it traps when a listed line is not valid UTF-8, a kept
// command is not in normal form, the counts do not add up, or loading the
// file into the command list differs from reading its bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "console/command_console.h"
#include "console/command_text.h"
#include "console/script_file.h"
#include "fuzz/detached_reader.h"
#include "text/utf8_text.h"

namespace {

using corvalt::fuzz::check;

using namespace corvalt;

class CountingMessageBox final : public MessageBox {
public:
    void Show(const std::string&) override { ++shown; }
    int shown = 0;
};

// The window as far as loading a script uses it.
class LoadingWindow final : public ConsoleWindow {
public:
    std::string CommandText() const override { return text; }
    bool HasCommandText() const override { return !text.empty(); }
    void ShowCommandText(const std::string& shown) override { text = shown; }
    void AppendCommandText(std::string_view added) override { text += added; }
    bool ReplaceCommandTextEnd(std::string_view oldEnd, std::string_view newEnd) override
    {
        if (!text.ends_with(oldEnd))
            return false;
        text.replace(text.size() - oldEnd.size(), oldEnd.size(), newEnd);
        return true;
    }
    std::string CommandEditText() const override { return {}; }
    void SetCommandEditText(const std::string&) override {}
    void FocusCommandEdit() override {}
    void FocusTranscript() override {}
    void ShowStatus(std::string_view shown) override { status = shown; }
    void EnableDownloadButton(bool enable) override { downloadEnabled = enable; }
    void EnableForDownload(bool) override {}
    void PumpMessages() override {}
    unsigned CommandSession() const override { return 0; }

    std::string text;
    std::string status;
    bool downloadEnabled = false;
};

// The in-memory reading against the lines it is built from.
void CheckReadScript(std::string_view file, size_t capacity)
{
    const ScriptContents script = ReadScript(file, capacity);
    const std::vector<std::string> lines = SplitScriptLines(file);
    check(script.listing.size() == lines.size());
    check(script.commands.size() <= capacity);
    check(script.leftOut == 0 || script.commands.size() == capacity);

    size_t commands = 0;
    for (const std::string& line : lines) {
        check(line.find('\n') == std::string::npos);
        if (!ScriptLineCommand(line).empty())
            ++commands;
    }
    check(commands == script.commands.size() + script.leftOut);
    for (const std::string& listed : script.listing)
        check(ToValidUtf8(listed) == listed);
    for (const std::string& command : script.commands)
        check(!command.empty() && ParseCommandLine(command) == command);
}

// The file written out and loaded into the command list as the window loads
// it: the same listing and commands as its bytes read in memory.
void CheckLoadCommandFile(std::string_view file)
{
    // One file for the whole run, rewritten in place: truncating it to
    // nothing first would make the file system flush it on every input.
    static char path[] = "/tmp/corvalt-script-fuzz-XXXXXX";
    static const int fd = [] {
        const int created = ::mkstemp(path);
        check(created >= 0);
        std::atexit([] { ::unlink(path); });
        return created;
    }();
    check(::pwrite(fd, file.data(), file.size(), 0) == static_cast<ssize_t>(file.size()) &&
          ::ftruncate(fd, static_cast<off_t>(file.size())) == 0);

    static DetachedReader reader;
    CommandSlots slots;
    int count = -1;
    bool downloading = false;
    bool autoAddLength = true;
    CountingMessageBox box;
    LoadingWindow window;
    CommandConsole console(reader.connection, box, window, {slots, count, downloading, autoAddLength});
    console.LoadCommandFile(path);
    if (file.size() > kScriptFileLimit) {
        check(box.shown == 1 && count == -1 && window.text.empty());
        return;
    }

    const ScriptContents script = ReadScript(file, kCommandSlotCount);
    std::string listing;
    for (const std::string& line : script.listing)
        listing += line + "\r\n";
    check(window.text == listing);
    check(count == static_cast<int>(script.commands.size()));
    for (size_t i = 0; i < script.commands.size(); ++i)
        check(slots[i] == script.commands[i]);
    check(window.downloadEnabled == (count > 0));
    check(window.status == (count > 0 ? "Found  " + std::to_string(count) + " commands" : "No commands found in file"));
    check(box.shown == (script.leftOut > 0 ? 1 : 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view file(reinterpret_cast<const char*>(bytes + 1), size - 1);
    CheckReadScript(file, bytes[0]);
    CheckLoadCommandFile(file);
    return 0;
}
