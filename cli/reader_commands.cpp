#include "cli/reader_commands.h"

#include "cli/cli_texts.h"
#include "cli/interface_ids.h"
#include "cli/single_path_host.h"
#include "cli/stop_request.h"
#include "cli/stream_console_window.h"
#include "cli/stream_message_box.h"
#include "console/command_console.h"
#include "console/console_texts.h"
#include "reader/reader_connection.h"
#include "text/path_text.h"

namespace corvalt {

namespace {

// The work through the console, as the window's buttons run it. True when
// every command was sent and answered. After a stop no operation that
// would open the reader is begun.
bool RunWork(CommandConsole& console, StreamConsoleWindow& window, const ReaderWork& work, const int& commandCount,
             ShellStreams& streams)
{
    switch (work.subCommand) {
    case SubCommand::kSend: window.SetCommandEditText(work.command); return !StopRequested() && console.SendCommand();
    case SubCommand::kRun:
        if (!(work.script ? console.LoadCommandScript(*work.script)
                          : console.LoadCommandFile(PathFromUtf8(work.scriptPath))) ||
            StopRequested())
            return false;
        if (commandCount == 0) {
            // "Download" stays disabled in the window: nothing to play.
            streams.err << kStatusNoCommandsFound << '\n' << std::flush;
            return false;
        }
        return console.DownloadCommands();
    case SubCommand::kSet:
        for (const std::vector<std::string>& download : work.downloads)
            if (StopRequested() || !console.DownloadCommands(download))
                return false;
        return true;
    case SubCommand::kList:
    case SubCommand::kWatch:
    case SubCommand::kRecord: break;
    }
    return false;
}

bool RunOnReader(HidHost& host, Clock& clock, const ReaderWork& work, ShellStreams& streams)
{
    ReaderConnection reader(host, clock);
    StreamMessageBox messageBox(streams.err);
    StreamConsoleWindow window(streams.out, streams.countdown, streams.errIsTerminal);
    CommandSlots commands;
    int commandCount = 0;
    bool downloading = false;
    bool autoAddLength = work.autoAddLength;
    CommandConsole console(reader, messageBox, window, {commands, commandCount, downloading, autoAddLength});
    window.StopBetweenExchangesOf(console);

    const bool succeeded = RunWork(console, window, work, commandCount, streams);
    window.Finish();
    if (Interrupted())
        streams.err << kStoppedByInterrupt << '\n' << std::flush;
    return succeeded && !StopRequested();
}

}  // namespace

int RunOnReaders(HidHost& host, Clock& clock, bool allReaders, const ReaderWork& work, ShellStreams& streams)
{
    if (!allReaders)
        return RunOnReader(host, clock, work, streams) ? kExitSuccess : kExitFailure;

    const std::vector<std::string> paths = SupportedReaderPaths(host);
    if (paths.empty()) {
        streams.err << kAttachDevice << '\n' << std::flush;
        return kExitFailure;
    }
    bool allSucceeded = true;
    for (size_t i = 0; i < paths.size() && !StopRequested(); ++i) {
        streams.out << (i == 0 ? "" : "\n") << kReaderBlockPrefix << paths[i] << '\n' << std::flush;
        if (StopRequested())
            break;
        SinglePathHost reader(host, paths[i]);
        allSucceeded = RunOnReader(reader, clock, work, streams) && allSucceeded;
    }
    return allSucceeded && !StopRequested() ? kExitSuccess : kExitFailure;
}

}  // namespace corvalt
