#include <optional>

#include "app/command_line.h"
#include "app/corvalt_app.h"
#include "app/no_display.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdio>

namespace {

// A window program has no console of its own. Started from one, its
// --help, --version and error lines go there; where its output is
// redirected already (a pipe, a file), it stays so.
void UseTheStartingConsole()
{
    if (::GetStdHandle(STD_OUTPUT_HANDLE) != nullptr || !::AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
}

}  // namespace
#endif

int main(int argc, char* argv[])
{
#ifdef _WIN32
    UseTheStartingConsole();
#endif
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
