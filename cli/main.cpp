#include <fcntl.h>
#include <unistd.h>

#include <iostream>

#include "cli/cli_texts.h"
#include "cli/corvalt_cli.h"
#include "cli/shell_output.h"
#include "platform/clock.h"
#include "platform/hidraw_host.h"

namespace {

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

}  // namespace

int main(int argc, char* argv[])
{
    TakeMissingStandardStreams();
    corvalt::HidrawHost host;
    corvalt::SystemClock clock;
    corvalt::ShellOutput out(corvalt::kStandardOutput, WriteTo(STDOUT_FILENO));
    corvalt::ShellOutput err(corvalt::kStandardError, WriteTo(STDERR_FILENO));
    corvalt::CliEnvironment environment{host, clock, out, err, ::isatty(STDERR_FILENO) != 0, {}, &std::cin};
    return corvalt::RunCorvaltCli(std::vector<std::string>(argv, argv + argc), environment);
}
