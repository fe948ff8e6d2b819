// The command console's operations: sending the command in the command
// edit, loading a script into the command list, and running the list.
//
// Everything runs on the window's thread. The window's events are handled
// after each transcript line and all through a delay, so the operator can
// clear the transcript, switch the mode or close the window meanwhile. A
// send or a download is one unit: another one started meanwhile is not run,
// and once the mode is switched or the window closed it stops at once and
// sends nothing more. It writes nothing more either, but for one line after
// a request line whose command it did not send.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "console/console_window.h"
#include "platform/message_box.h"
#include "reader/reader_connection.h"
#include "text/result.h"

namespace corvalt {

// A delay waits in steps of a second; within a step the window's events are
// handled at least this often.
constexpr uint32_t kDelayStepMs = 1000;
constexpr uint32_t kEventSliceMs = 10;

class CommandConsole {
public:
    CommandConsole(ReaderConnection& reader, MessageBox& messageBox, ConsoleWindow& window, ConsoleFields fields);

    // Normalises the command edit's text, opens and checks the reader,
    // frames the command, and writes the request line, exchanges the
    // reports and writes the response line. True when the reader answered.
    bool SendCommand();

    // Lists the script's lines in the transcript and makes its commands the
    // command list. False when the file could not be read: the operator has
    // been told why.
    bool LoadCommandFile(const std::filesystem::path& path);
    // The same for a script already read, or the reason it could not be.
    bool LoadCommandScript(const Result<std::string>& script);

    // Runs the command list: hex commands through SendCommand, delays as a
    // countdown in the transcript. The console's controls are disabled and
    // the length byte is always computed while it runs. It stops early when
    // a command finds no usable reader, and gives up after
    // kFailedExchangesToGiveUp failed exchanges in a row. True when the
    // whole list was run and the reader answered every command in it.
    bool DownloadCommands();
    // Makes the given lines, in normal form, the command list (the first
    // kCommandSlotCount of them) and runs it: how a settings panel sends
    // its commands.
    bool DownloadCommands(const std::vector<std::string>& commands);

    // True while a send or a download runs: a further one is not started.
    bool IsRunning() const { return m_running; }
    // True while a command is on the wire: from the moment it is sent until
    // its answer is read. A window that ends its session on its own, not
    // through an event handled at a pump, waits until this is false, so
    // that an exchange begun is completed and its response line written.
    // The session is last looked at after the request line is shown: a
    // session that ends there leaves a request line whose command was not
    // sent, followed by a line that says so.
    bool IsExchanging() const { return m_exchanging; }

private:
    enum class SendResult {
        kNotSent,      // the text is no command, or framing refused it
        kNoReader,     // no usable reader: the operator has been told why
        kAnswered,     // exchanged, and the reader answered
        kFailed,       // exchanged, and the transmit or the receive failed
        kInterrupted,  // the mode was switched or the window closed meanwhile
    };
    SendResult SendEditCommand();
    bool RunDownload();
    // False when the list was not run to its end: the mode was switched or
    // the window closed. allAnswered turns false at the first command that
    // was not sent and answered.
    bool RunCommandList(bool& allAnswered);
    // After command `done` of `count`: why the rest of the list is not run.
    void WriteStopLine(int done, int count, std::string_view reason);
    // No error blocks sending and a reader is open; otherwise says why.
    bool CheckReaderBeforeSending();
    // Adds one line of an exchange to the transcript, shows it and lets the
    // window handle its events. False when the send must stop there.
    bool AppendExchangeLine(const std::string& line);
    // False when the delay was cut short by a mode switch or the closing.
    bool RunDelay(const std::string& entry);
    // Shows the delay's line at the end of the transcript in place of the
    // one shown before; if the transcript was cleared meanwhile, it is
    // rebuilt from the text it held when the delay started.
    void ShowDelayLine(const std::string& before, std::string& shown, std::string line);
    // Handles the window's events until milliseconds have passed or the
    // session has ended.
    void WaitHandlingEvents(uint32_t milliseconds);
    bool SessionEnded() const { return m_window.CommandSession() != m_session; }

    ReaderConnection& m_reader;
    MessageBox& m_messageBox;
    ConsoleWindow& m_window;
    ConsoleFields m_fields;
    bool m_running = false;
    bool m_exchanging = false;
    unsigned m_session = 0;  // the window's command session the run started in
};

}  // namespace corvalt
