#include <iostream>

#include "cli/corvalt_cli.h"
#include "platform/clock.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/windows_hid_host.h"
#else
#include <unistd.h>

#include "platform/hidraw_host.h"
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
#else
std::vector<std::string> Arguments(int argc, char* argv[])
{
    return std::vector<std::string>(argv, argv + argc);
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
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    corvalt::WindowsHidHost host;
    const bool errIsTerminal = ::_isatty(::_fileno(stderr)) != 0;
#else
    corvalt::HidrawHost host;
    const bool errIsTerminal = ::isatty(STDERR_FILENO) != 0;
#endif
    corvalt::SystemClock clock;
    corvalt::CliEnvironment environment{host, clock, std::cout, std::cerr, errIsTerminal};
    return corvalt::RunCorvaltCli(Arguments(argc, argv), environment);
}
