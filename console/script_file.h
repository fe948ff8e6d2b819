// Command scripts: text files of commands and delays, one a line. A line's
// command is what stands before its first ";", which it must have; the rest
// is a comment. Every line is listed, command or not.
#pragma once

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "text/result.h"

namespace corvalt {

// The lines of a file's bytes. A line ends at LF; a CR ends it too and
// takes the byte after it along: an LF there is dropped (CR LF), any other
// byte becomes the line's last character. A last line without an end still
// counts.
std::vector<std::string> SplitScriptLines(std::string_view bytes);

// The command of one line in normal form, or empty when it holds none.
std::string ScriptLineCommand(std::string_view line);

// A listed line shows at most this many bytes of its text: the transcript
// lays a long line out in time that grows with the square of its length, and
// no command or comment of a real script comes near it.
constexpr size_t kListedLineLimit = 1024;

struct ScriptContents {
    std::vector<std::string> listing;   // each line trimmed, as UTF-8 to show, longer lines shortened
    std::vector<std::string> commands;  // at most the capacity asked for
    size_t leftOut = 0;                 // commands past the capacity
};

ScriptContents ReadScript(std::string_view bytes, size_t capacity);

// The most bytes a script file may hold: a full command list with generous
// comments takes a few tens of kilobytes.
constexpr size_t kScriptFileLimit = size_t{1} << 20;

// The whole file, when it is a regular file of at most kScriptFileLimit
// bytes; otherwise no bytes and a reason naming the file and what is wrong.
// Never blocks: a FIFO or a device is refused unread. The bytes are the
// file's own on every system: no line ends or end-of-file marks translated.
Result<std::string> ReadScriptFile(const std::filesystem::path& path);

// The whole stream (standard input), within the same limit; the name
// stands for it in a failure's reason.
Result<std::string> ReadScriptStream(std::istream& in, const std::string& name);

}  // namespace corvalt
