#include "cli/corvalt_cli.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>
#include <variant>

#include "cli/cli_options.h"
#include "cli/cli_texts.h"
#include "cli/interface_ids.h"
#include "cli/interface_list.h"
#include "cli/matching_host.h"
#include "cli/prefixed_lines.h"
#include "cli/reader_commands.h"
#include "cli/reader_recorder.h"
#include "cli/single_path_host.h"
#include "cli/stdin_swipes.h"
#include "cli/stop_request.h"
#include "cli/swipe_watch.h"
#include "console/script_file.h"
#include "recording/hid_recording.h"
#include "recording/replayed_reader_host.h"
#include "text/path_text.h"
#include "virtualreader/virtual_reader.h"
#include "virtualreader/virtual_reader_host.h"

namespace corvalt {

namespace {

int List(HidHost& host, const CliOptions& options, std::ostream& out, std::ostream& err)
{
    if (!ListInterfaces(host, options.verbose, options.json ? ListFormat::kJson : ListFormat::kText, out)) {
        err << host.LastError().message << '\n';
        return kExitFailure;
    }
    if (StopRequested())
        return kExitFailure;
    std::vector<HidInterfaceInfo> listed;
    if (!options.devicePath.empty() && host.ListInterfaces(listed) && listed.empty()) {
        err << options.devicePath << kNotListed << '\n';
        return kExitFailure;
    }
    return kExitSuccess;
}

int Record(HidHost& host, const CliOptions& options, Clock& clock, std::ostream& out, std::ostream& err)
{
    const RecordSettings settings{options.count, options.timeoutMs};
    // A failed write to standard output is told as for every sub-command.
    if (options.recordPath == kStandardStreamPath)
        return RecordReader(host, clock, settings, out, err);
    const std::filesystem::path path = std::filesystem::u8path(options.recordPath);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    // Card data: the file is the user's alone, as a saved transcript is.
    std::error_code ignored;
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                                 ignored);
    if (!file) {
        err << "Cannot write \"" << options.recordPath << "\"\n" << std::flush;
        return kExitFailure;
    }
    const int status = RecordReader(host, clock, settings, file, err);
    if (!file)
        err << kRecordingNotWritten << '\n' << std::flush;
    return status;
}

// What --device names, when the host can tell.
enum class DeviceAtPath { kReader, kOther, kNone, kUnknown };

DeviceAtPath LookAtDevice(HidHost& host, std::string& ids)
{
    std::vector<HidInterfaceInfo> listed;
    if (!host.ListInterfaces(listed))
        return DeviceAtPath::kUnknown;
    if (listed.empty())
        return DeviceAtPath::kNone;
    const std::optional<HidAttributes> attributes = InterfaceIds(host, listed.front());
    ids = attributes ? IdsText(attributes->vendorId, attributes->productId) : std::string(kUnknownIds);
    return IsSupportedReader(attributes) ? DeviceAtPath::kReader : DeviceAtPath::kOther;
}

// virtualReader: the one listed, if any.
int RunSubCommand(HidHost& host, VirtualReader* virtualReader, const CliOptions& options, CliEnvironment& environment,
                  ShellStreams& streams)
{
    std::ostream& out = streams.out;
    std::ostream& err = streams.err;
    if (options.subCommand == SubCommand::kList)
        return List(host, options, out, err);

    // A node that is no reader ends the run at once; a missing one ends
    // every sub-command but watch, which waits for a reader to appear there.
    std::string ids;
    std::string absentStatus;
    switch (options.devicePath.empty() ? DeviceAtPath::kUnknown : LookAtDevice(host, ids)) {
    case DeviceAtPath::kOther:
        err << options.devicePath << " (" << ids << ")" << kNotASupportedReader << '\n' << std::flush;
        return kExitFailure;
    case DeviceAtPath::kNone:
        if (options.subCommand != SubCommand::kWatch) {
            err << options.devicePath << kNoSuchDevice << '\n' << std::flush;
            return kExitFailure;
        }
        absentStatus = std::string(kWaitingForReaderAt) + options.devicePath;
        break;
    case DeviceAtPath::kReader:
    case DeviceAtPath::kUnknown: break;
    }

    if (options.subCommand == SubCommand::kRecord)
        return Record(host, options, environment.clock, out, err);
    if (options.subCommand == SubCommand::kWatch) {
        WatchSettings settings;
        settings.format = options.json ? SwipeFormat::kJson : SwipeFormat::kCardText;
        settings.absentStatus = absentStatus;
        settings.count = options.count;
        settings.timeoutMs = options.timeoutMs;
        if (environment.wallClock)
            settings.wallClock = environment.wallClock;
        std::istringstream nothing;
        std::optional<StandardInputSwipes> swipes;
        if (virtualReader != nullptr) {
            swipes.emplace(*virtualReader, environment.in ? *environment.in : nothing, err);
            settings.swipeVirtualReader = [&swipes] { return swipes->SwipeNext(); };
        }
        const WatchEnd end = WatchSwipes(host, environment.clock, settings, out, err);
        if (swipes && swipes->Refused())
            return kExitFailure;
        const bool cutShort = end == WatchEnd::kTimeout || end == WatchEnd::kNoMoreSwipes;
        return cutShort && options.count > 0 ? kExitFailure : kExitSuccess;
    }
    // A data format that names no key fails before any reader is touched.
    const Result<std::vector<std::vector<std::string>>> downloads = PanelDownloads(options.panels);
    if (options.subCommand == SubCommand::kSet && !downloads.Succeeded()) {
        err << downloads.m_reason << '\n';
        return kExitUsage;
    }
    ReaderWork work{options.subCommand, options.autoAddLength, options.command,
                    options.scriptPath, std::nullopt,          downloads.m_value};
    // Standard input can be read only once, whatever the number of readers.
    if (options.subCommand == SubCommand::kRun && options.scriptPath == kStandardStreamPath) {
        std::istringstream nothing;
        work.script = ReadScriptStream(environment.in ? *environment.in : nothing, std::string(kStandardInputName));
    }
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
        environment.err << kErrorPrefix << kCannotWrite << environment.out.Name() << ": "
                        << std::generic_category().message(error) << '\n';
        return kExitFailure;
    }
    return environment.err.Error() != 0 ? kExitFailure : exitStatus;
}

}  // namespace

int RunCorvaltCli(const std::vector<std::string>& arguments, CliEnvironment& environment)
{
    const std::variant<CliOptions, CliExit> parsed = ParseCliArguments(arguments);
    if (const CliExit* exit = std::get_if<CliExit>(&parsed)) {
        if (exit->exitCode == kExitSuccess)
            environment.out << exit->text << std::flush;
        else
            environment.err << kErrorPrefix << exit->text << std::flush;
        return WithOutputChecked(exit->exitCode, environment);
    }
    const CliOptions& options = std::get<CliOptions>(parsed);

    // The virtual reader joins the list after the system's devices;
    // --device narrows the list down to one node, --match to some ids.
    std::optional<VirtualReader> virtualReader;
    std::optional<VirtualReaderHost> withVirtualReader;
    HidHost* host = &environment.systemHost;
    if (options.virtualReaderProductId != 0) {
        virtualReader.emplace(options.virtualReaderProductId, environment.clock);
        host = &withVirtualReader.emplace(*host, *virtualReader);
    }
    // A recording that cannot be replayed ends the run before anything else.
    PrefixedLines err(environment.err, std::string(kErrorPrefix));
    std::optional<ReplayedReaderHost> replayed;
    if (!options.replayPath.empty()) {
        Result<HidRecording> recording = ReadReplayableRecording(PathFromUtf8(options.replayPath));
        if (!recording.Succeeded()) {
            err.Stream() << kReplayRefused << recording.m_reason << '\n' << std::flush;
            return WithOutputChecked(kExitFailure, environment);
        }
        host = &replayed.emplace(*host, std::move(recording.m_value), environment.clock);
    }
    std::optional<SinglePathHost> device;
    if (!options.devicePath.empty())
        host = &device.emplace(*host, options.devicePath);
    std::optional<MatchingHost> matching;
    if (options.match)
        host = &matching.emplace(*host, *options.match);

    // Messages carry the program's name; the delay's countdown, which
    // rewrites its own line of a terminal, does not.
    ShellStreams streams{environment.out, err.Stream(), environment.err, environment.errIsTerminal};
    // From here an interrupt, or a write that fails, stops the sub-command
    // at its next safe point.
    StopOnInterrupt();
    return WithOutputChecked(
        RunSubCommand(*host, virtualReader ? &*virtualReader : nullptr, options, environment, streams), environment);
}

}  // namespace corvalt
