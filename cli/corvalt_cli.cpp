#include "cli/corvalt_cli.h"

#include <cerrno>
#include <optional>
#include <system_error>
#include <variant>

#include "cli/cli_options.h"
#include "cli/cli_texts.h"
#include "cli/interface_list.h"
#include "cli/reader_commands.h"
#include "cli/single_path_host.h"
#include "cli/stop_request.h"
#include "cli/swipe_watch.h"
#include "virtualreader/virtual_reader.h"
#include "virtualreader/virtual_reader_host.h"

namespace corvalt {

namespace {

int List(HidHost& host, const CliOptions& options, CliEnvironment& environment)
{
    if (!ListInterfaces(host, options.verbose, environment.out)) {
        environment.err << host.LastError().message << '\n';
        return kExitFailure;
    }
    if (StopRequested())
        return kExitFailure;
    std::vector<HidInterfaceInfo> listed;
    if (!options.devicePath.empty() && host.ListInterfaces(listed) && listed.empty()) {
        environment.err << options.devicePath << kNotListed << '\n';
        return kExitFailure;
    }
    return kExitSuccess;
}

int RunSubCommand(HidHost& host, const CliOptions& options, CliEnvironment& environment)
{
    switch (options.subCommand) {
    case SubCommand::kList: return List(host, options, environment);
    case SubCommand::kWatch:
        WatchSwipes(host, environment.clock, options.json ? SwipeFormat::kJson : SwipeFormat::kCardText,
                    environment.out, environment.err);
        return kExitSuccess;
    case SubCommand::kSend:
    case SubCommand::kRun:
    case SubCommand::kSet: break;
    }
    // A data format that names no key fails before any reader is touched.
    const Result<std::vector<std::vector<std::string>>> downloads = PanelDownloads(options.panels);
    if (options.subCommand == SubCommand::kSet && !downloads.Succeeded()) {
        environment.err << downloads.m_reason << '\n';
        return kExitUsage;
    }
    const ReaderWork work{options.subCommand, options.autoAddLength, options.command, options.scriptPath,
                          downloads.m_value};
    ShellStreams streams{environment.out, environment.err, environment.errIsTerminal};
    return RunOnReaders(host, environment.clock, options.allReaders, work, streams);
}

// The exit status once the output has had its say: a broken pipe ends the
// program quietly, as it ends other tools; any other failed write with a
// line that says why.
int WithOutputChecked(int exitStatus, CliEnvironment& environment)
{
    if (environment.out.Error() == EPIPE || environment.err.Error() == EPIPE)
        return kExitBrokenPipe;
    if (const int error = environment.out.Error(); error != 0) {
        environment.err << kCannotWrite << environment.out.Name() << ": " << std::generic_category().message(error)
                        << '\n';
        return kExitFailure;
    }
    return environment.err.Error() != 0 ? kExitFailure : exitStatus;
}

}  // namespace

int RunCorvaltCli(const std::vector<std::string>& arguments, CliEnvironment& environment)
{
    const std::variant<CliOptions, CliExit> parsed = ParseCliArguments(arguments);
    if (const CliExit* exit = std::get_if<CliExit>(&parsed)) {
        (exit->exitCode == kExitSuccess ? environment.out : environment.err) << exit->text;
        return WithOutputChecked(exit->exitCode, environment);
    }
    const CliOptions& options = std::get<CliOptions>(parsed);

    // The virtual reader joins the list after the system's devices, and
    // --device narrows the list down to one node.
    std::optional<VirtualReader> virtualReader;
    std::optional<VirtualReaderHost> withVirtualReader;
    HidHost* host = &environment.systemHost;
    if (options.virtualReaderProductId != 0) {
        virtualReader.emplace(options.virtualReaderProductId, environment.clock);
        host = &withVirtualReader.emplace(*host, *virtualReader);
    }
    std::optional<SinglePathHost> device;
    if (!options.devicePath.empty())
        host = &device.emplace(*host, options.devicePath);
    // From here an interrupt, or a write that fails, stops the sub-command
    // at its next safe point.
    StopOnInterrupt();
    return WithOutputChecked(RunSubCommand(*host, options, environment), environment);
}

}  // namespace corvalt
