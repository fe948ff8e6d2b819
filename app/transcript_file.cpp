#include "app/transcript_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace corvalt {

namespace {

std::string FailureText(const std::string& path, int code)
{
    return "Could not save the transcript to \"" + path + "\": " + std::strerror(code);
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

std::string WithCrLfLineEnds(std::string_view text)
{
    std::string result;
    result.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            result += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            result += c;
        }
    }
    return result;
}

bool WriteTranscriptFile(const std::string& path, std::string_view utf8Text, std::string& errorText)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        errorText = FailureText(path, errno);
        return false;
    }
    const bool written = WriteAll(fd, WithCrLfLineEnds(utf8Text));
    const int writeError = errno;
    // Some file systems report a failed write only when the file is closed.
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        errorText = FailureText(path, written ? errno : writeError);
        return false;
    }
    return true;
}

}  // namespace corvalt
