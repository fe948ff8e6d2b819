#include "console/script_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <istream>

#include "console/command_text.h"
#include "text/path_text.h"
#include "text/utf8_text.h"
#include "text/white_space.h"

namespace corvalt {

namespace {

constexpr size_t kShortestCommand = 2;

std::string FileError(const char* what, const std::filesystem::path& path, const std::string& reason)
{
    return std::string(what) + " \"" + PathText(path) + "\": " + reason;
}

// A descriptor for reading the file's bytes as they are, or -1 with errno
// set. Opening never waits: a FIFO would otherwise wait for a writer.
int OpenScript(const std::filesystem::path& path)
{
#ifdef _WIN32
    // Binary: CR LF and 0x1A reach the script's reader unchanged.
    const int fd = ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    // Windows refuses to open a folder as a file, and says "access denied".
    if (fd < 0 && errno == EACCES) {
        std::error_code error;
        if (std::filesystem::is_directory(path, error))
            errno = EISDIR;
    }
    return fd;
#else
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
#endif
}

std::string TooLong(const std::filesystem::path& path)
{
    return FileError("Cannot read", path,
                     "A script file may hold at most " + std::to_string(kScriptFileLimit >> 20) + " MiB (" +
                         std::to_string(kScriptFileLimit) + " bytes)");
}

// The script behind an open descriptor, when it is a regular file within
// the limit.
Result<std::string> ReadOpenScript(int fd, const std::filesystem::path& path)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return Failure{FileError("Cannot read", path, std::strerror(errno))};
    if (S_ISDIR(status.st_mode))
        return Failure{FileError("Cannot read", path, std::strerror(EISDIR))};
    if (!S_ISREG(status.st_mode))
        return Failure{FileError("Cannot read", path, "Not a regular file")};
    // One byte past the limit tells a file that is too long, whatever size
    // it claimed.
    std::string contents;
    char buffer[4096];
    while (contents.size() <= kScriptFileLimit) {
        const auto count = ::read(fd, buffer, std::min(sizeof buffer, kScriptFileLimit + 1 - contents.size()));
        if (count == 0)
            break;
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return Failure{FileError("Cannot read", path, std::strerror(errno))};
        contents.append(buffer, static_cast<size_t>(count));
    }
    if (contents.size() > kScriptFileLimit)
        return Failure{TooLong(path)};
    return contents;
}

// The line as it is listed: valid UTF-8, and a line longer than the limit
// cut after its last whole character within it, with a note of what is left
// out.
std::string ListedLine(std::string_view line)
{
    std::string text = ToValidUtf8(line);
    if (text.size() <= kListedLineLimit)
        return text;
    size_t cut = kListedLineLimit;
    while (cut > 0 && (static_cast<uint8_t>(text[cut]) & 0xC0) == 0x80)
        --cut;
    const auto leftOut = std::count_if(text.begin() + static_cast<std::ptrdiff_t>(cut), text.end(),
                                       [](char c) { return (static_cast<uint8_t>(c) & 0xC0) != 0x80; });
    text.resize(cut);
    return text + " [... " + std::to_string(leftOut) + " more characters not listed]";
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
        script.listing.push_back(ListedLine(TrimWhiteSpace(line)));
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

Result<std::string> ReadScriptFile(const std::filesystem::path& path)
{
    const int fd = OpenScript(path);
    if (fd < 0)
        return Failure{FileError("Cannot open", path, std::strerror(errno))};
    Result<std::string> read = ReadOpenScript(fd, path);
    ::close(fd);
    return read;
}

Result<std::string> ReadScriptStream(std::istream& in, const std::string& name)
{
    std::string contents(kScriptFileLimit + 1, '\0');
    in.read(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (in.bad())
        return Failure{FileError("Cannot read", PathFromUtf8(name), std::strerror(EIO))};
    contents.resize(static_cast<size_t>(in.gcount()));
    if (contents.size() > kScriptFileLimit)
        return Failure{TooLong(PathFromUtf8(name))};
    return contents;
}

}  // namespace corvalt
