// Writing a transcript to a file the user picked: UTF-8 with CR LF line
// ends, whatever ends the text's lines had.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "text/result.h"

namespace corvalt {

// The text with every line end (LF, CR LF or a lone CR) written as CR LF.
std::string WithCrLfLineEnds(std::string_view text);

// Puts a file holding the text, its line ends made CR LF, at `path`. The
// text is written to a new file in the same folder, which is renamed over
// `path` only once all of it is on disk: a failed save leaves what was
// there as it was, and no other file behind.
//
// A transcript holds card data, so on Linux a new file may be read by its
// owner only (0600); a regular file that is replaced passes on its owner's
// and group's read and write bits, and no other. On Windows the file takes
// the access rules of its folder. A symbolic link at `path` is replaced by
// the file, not followed: the file is saved where the user chose, never
// into the link's target, whether that exists or not. A directory, device
// or FIFO at `path` is refused.
//
// A write beyond the process's file size limit fails like any other, and
// is reported: it does not end the program.
//
// A failure's reason is a sentence naming the file and the system's reason.
Result<> WriteTranscriptFile(const std::filesystem::path& path, std::string_view utf8Text);

}  // namespace corvalt
