#include <iostream>

#include "cli/cli_texts.h"
#include "cli/corvalt_cli.h"
#include "cli/shell_output.h"
#include "platform/clock.h"
#include "platform/system_hid_host.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
// The arguments as UTF-8, whatever the console's code page: the wide
// command line is the one that holds every character of a path.
std::vector<std::string> Arguments(int argc, char* argv[])
{
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<size_t>(length > 0 ? length - 1 : 0), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, utf8.data(), length, nullptr, nullptr);
        arguments.push_back(std::move(utf8));
    }
    ::LocalFree(wide);
    return arguments;
}

corvalt::ShellOutput::Write WriteTo(int fd)
{
    return [fd](const char* bytes, size_t count) {
        return static_cast<long>(::_write(fd, bytes, static_cast<unsigned>(count)));
    };
}
#else
std::vector<std::string> Arguments(int argc, char* argv[])
{
    return std::vector<std::string>(argv, argv + argc);
}

// A standard stream the program was started without is taken by /dev/null,
// opened for reading only: writing to it fails as writing to a closed one
// does (EBADF), and no reader opened later gets its number.
void TakeMissingStandardStreams()
{
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        if (::fcntl(fd, F_GETFD) < 0)
            ::open("/dev/null", O_RDONLY);  // the lowest free number: fd
}

corvalt::ShellOutput::Write WriteTo(int fd)
{
    return [fd](const char* bytes, size_t count) { return static_cast<long>(::write(fd, bytes, count)); };
}
#endif

}  // namespace

int main(int argc, char* argv[])
{
#ifdef _WIN32
    // The program writes UTF-8; a console shows it as such only when told.
    // Its output is the same bytes as on Linux, line ends included, for
    // whatever reads it.
    ::SetConsoleOutputCP(CP_UTF8);
    ::_setmode(0, _O_BINARY);  // a script piped in is read byte for byte
    ::_setmode(1, _O_BINARY);
    ::_setmode(2, _O_BINARY);
    const bool errIsTerminal = ::_isatty(2) != 0;
#else
    TakeMissingStandardStreams();
    const bool errIsTerminal = ::isatty(STDERR_FILENO) != 0;
#endif
    corvalt::SystemHidHost host;
    corvalt::SystemClock clock;
    corvalt::ShellOutput out(corvalt::kStandardOutput, WriteTo(1));
    corvalt::ShellOutput err(corvalt::kStandardError, WriteTo(2));
    corvalt::CliEnvironment environment{host, clock, out, err, errIsTerminal, {}, &std::cin};
    return corvalt::RunCorvaltCli(Arguments(argc, argv), environment);
}
