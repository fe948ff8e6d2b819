#include <optional>

#include "app/command_line.h"
#include "app/corvalt_app.h"
#include "app/no_display.h"

int main(int argc, char* argv[])
{
    // The command line is read first: --help and --version need no display.
    const corvalt::CommandLine commandLine = corvalt::ReadCommandLine(argc, argv);
    if (commandLine.exitNow)
        return commandLine.exitCode;
    if (!corvalt::DisplayNamed())
        return corvalt::ReportNoDisplay();
    std::optional<corvalt::CCorvaltApp> app;
    {
        const corvalt::PlatformStartGuard guard;
        app.emplace(argc, argv);
    }
    return app->InitInstance(commandLine);
}
