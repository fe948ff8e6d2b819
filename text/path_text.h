// A file's path as text to show: UTF-8 on every system, whatever the
// system's own encoding of paths (bytes on Linux, UTF-16 on Windows).
#pragma once

#include <filesystem>
#include <string>

namespace corvalt {

// Bytes of a Linux path that are no UTF-8 are shown as U+FFFD.
std::string PathText(const std::filesystem::path& path);

// A path given as UTF-8 text, as corvalt-cli takes its arguments on every
// system. On Linux the bytes are the path, whatever they are.
std::filesystem::path PathFromUtf8(const std::string& text);

}  // namespace corvalt
