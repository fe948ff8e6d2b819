#include <unistd.h>

#include <iostream>

#include "cli/corvalt_cli.h"
#include "platform/clock.h"
#include "platform/hidraw_host.h"

int main(int argc, char* argv[])
{
    corvalt::HidrawHost host;
    corvalt::SystemClock clock;
    corvalt::CliEnvironment environment{host, clock, std::cout, std::cerr, ::isatty(STDERR_FILENO) != 0};
    environment.in = &std::cin;
    return corvalt::RunCorvaltCli(std::vector<std::string>(argv, argv + argc), environment);
}
