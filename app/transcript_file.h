// Writing a transcript to a file the user picked: UTF-8 with CR LF line
// ends, whatever ends the text's lines had.
#pragma once

#include <string>
#include <string_view>

namespace corvalt {

// The text with every line end (LF, CR LF or a lone CR) written as CR LF.
std::string WithCrLfLineEnds(std::string_view text);

// Replaces the file at `path` with the text, its line ends made CR LF.
// On failure returns false and sets errorText to a sentence naming the file
// and the system's reason.
bool WriteTranscriptFile(const std::string& path, std::string_view utf8Text, std::string& errorText);

}  // namespace corvalt
