#include "rules/transcript_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace corvalt {

namespace {

std::string FailureText(const std::string& path, const char* reason)
{
    return "Could not save the transcript to \"" + path + "\": " + reason;
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

Result<> WriteTranscriptFile(const std::string& path, std::string_view utf8Text)
{
    mode_t mode = S_IRUSR | S_IWUSR;
    struct stat target {};
    if (::lstat(path.c_str(), &target) == 0) {
        if (S_ISDIR(target.st_mode))
            return Failure{FailureText(path, std::strerror(EISDIR))};
        if (S_ISREG(target.st_mode)) {
            mode = target.st_mode & 07777;
        } else if (!S_ISLNK(target.st_mode)) {
            return Failure{FailureText(path, "Not a regular file")};
        }
    }

    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::string temporary = (folder.empty() ? std::filesystem::path(".") : folder) / ".corvalt-transcript-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return Failure{FailureText(path, std::strerror(errno))};
    // Some file systems report a failed write only at fsync or close.
    bool saved = WriteAll(fd, WithCrLfLineEnds(utf8Text)) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && saved) {
        saved = false;
        error = errno;
    }
    if (saved && ::rename(temporary.c_str(), path.c_str()) != 0) {
        saved = false;
        error = errno;
    }
    if (!saved) {
        ::unlink(temporary.c_str());
        return Failure{FailureText(path, std::strerror(error))};
    }
    return {};
}

}  // namespace corvalt
