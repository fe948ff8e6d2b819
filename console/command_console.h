// The command console's operations: sending the command in the command
// edit, loading a script into the command list, and running the list.
//
// Everything runs on the window's thread. The window's events are handled
// after each transcript line and all through a delay, so the operator can
// clear the transcript or close the window meanwhile; closing it stops a
// download at once and nothing is sent after that.
#pragma once

#include <cstdint>
#include <string>

#include "console/console_window.h"
#include "platform/message_box.h"
#include "reader/reader_connection.h"

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
    // reports and writes the response line.
    void SendCommand();

    // Lists the script's lines in the transcript and makes its commands the
    // command list.
    void LoadCommandFile(const std::string& path);

    // Runs the command list: hex commands through SendCommand, delays as a
    // countdown in the transcript. The console's controls are disabled and
    // the length byte is always computed while it runs.
    void DownloadCommands();

private:
    // No error blocks sending and a reader is open; otherwise says why.
    bool CheckReaderBeforeSending();
    // Adds one line of an exchange to the transcript, shows it and lets the
    // window handle its events.
    void AppendExchangeLine(const std::string& line);
    void RunDelay(const std::string& entry);
    // Shows the delay's line at the end of the transcript in place of the
    // one shown before; if the transcript was cleared meanwhile, it is
    // rebuilt from the text it held when the delay started.
    void ShowDelayLine(const std::string& before, std::string& shown, std::string line);
    // Handles the window's events until milliseconds have passed or the
    // window is closed.
    void WaitHandlingEvents(uint32_t milliseconds);

    ReaderConnection& m_reader;
    MessageBox& m_messageBox;
    ConsoleWindow& m_window;
    ConsoleFields m_fields;
};

}  // namespace corvalt
