#include "app/command_line.h"
#include "app/corvalt_app.h"

int main(int argc, char* argv[])
{
    // The command line is read first: --help and --version need no display.
    const corvalt::CommandLine commandLine = corvalt::ReadCommandLine(argc, argv);
    if (commandLine.exitNow)
        return commandLine.exitCode;
    corvalt::CCorvaltApp app(argc, argv);
    return app.InitInstance(commandLine);
}
