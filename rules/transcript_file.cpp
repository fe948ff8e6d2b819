#include "rules/transcript_file.h"

#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#include <random>

#include "platform/windows_text.h"
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#endif

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "text/path_text.h"

namespace corvalt {

namespace {

std::string FailureText(const std::filesystem::path& path, const std::string& reason)
{
    return "Could not save the transcript to \"" + PathText(path) + "\": " + reason;
}

#ifdef _WIN32
// A new file in `folder` that no other program has open, named
// .corvalt-transcript-XXXXXX; its handle, or INVALID_HANDLE_VALUE.
HANDLE CreateTemporary(const std::filesystem::path& folder, std::filesystem::path& temporary)
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t name[32];
        ::swprintf(name, 32, L".corvalt-transcript-%06x", static_cast<unsigned>(random() & 0xFFFFFF));
        temporary = folder / name;
        const HANDLE handle =
            ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS)
            return handle;
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr))
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}
#else
// A file replaced keeps at most its owner's and group's read and write
// bits: execute, set-id and sticky bits and anything for others never pass
// from an old file to a transcript.
constexpr mode_t kKeptModeBits = S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP;

// While it lives, a write beyond the file size limit fails with EFBIG
// instead of ending the program with SIGXFSZ. The signal is held back for
// this thread only, and any the writes raised is taken before it goes.
class FileSizeSignalHeld {
public:
    FileSizeSignalHeld()
    {
        sigemptyset(&m_signal);
        sigaddset(&m_signal, SIGXFSZ);
        pthread_sigmask(SIG_BLOCK, &m_signal, &m_previous);
    }
    ~FileSizeSignalHeld()
    {
        const int error = errno;
        const timespec now{};
        while (sigtimedwait(&m_signal, nullptr, &now) == SIGXFSZ) {
        }
        pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
        errno = error;
    }
    FileSizeSignalHeld(const FileSizeSignalHeld&) = delete;
    FileSizeSignalHeld& operator=(const FileSizeSignalHeld&) = delete;

private:
    sigset_t m_signal{};
    sigset_t m_previous{};
};

bool WriteAll(int fd, std::string_view bytes)
{
    const FileSizeSignalHeld held;
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
#endif

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

#ifdef _WIN32
Result<> WriteTranscriptFile(const std::filesystem::path& path, std::string_view utf8Text)
{
    std::error_code error;
    const std::filesystem::file_status target = std::filesystem::symlink_status(path, error);
    if (std::filesystem::is_directory(target))
        return Failure{FailureText(path, std::strerror(EISDIR))};
    if (std::filesystem::exists(target) && !std::filesystem::is_regular_file(target) &&
        !std::filesystem::is_symlink(target))
        return Failure{FailureText(path, "Not a regular file")};

    const std::filesystem::path folder = path.parent_path();
    std::filesystem::path temporary;
    const HANDLE file = CreateTemporary(folder.empty() ? std::filesystem::path(".") : folder, temporary);
    if (file == INVALID_HANDLE_VALUE)
        return Failure{FailureText(path, WindowsErrorText(::GetLastError()))};
    // The file is on the disk before it takes the old one's place: a failure
    // of the disk shows here, not after the old file is gone.
    bool saved = WriteAll(file, WithCrLfLineEnds(utf8Text)) && ::FlushFileBuffers(file);
    DWORD code = saved ? ERROR_SUCCESS : ::GetLastError();
    if (!::CloseHandle(file) && saved) {
        saved = false;
        code = ::GetLastError();
    }
    // Takes the place of the old file, or of a symbolic link, in one step.
    if (saved && !::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        saved = false;
        code = ::GetLastError();
    }
    if (!saved) {
        ::DeleteFileW(temporary.c_str());
        return Failure{FailureText(path, WindowsErrorText(code))};
    }
    return {};
}
#else
Result<> WriteTranscriptFile(const std::filesystem::path& path, std::string_view utf8Text)
{
    mode_t mode = S_IRUSR | S_IWUSR;
    struct stat target {};
    if (::lstat(path.c_str(), &target) == 0) {
        if (S_ISDIR(target.st_mode))
            return Failure{FailureText(path, std::strerror(EISDIR))};
        if (S_ISREG(target.st_mode)) {
            mode = target.st_mode & kKeptModeBits;
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

#endif

}  // namespace corvalt
