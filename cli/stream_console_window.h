// The command console's window in a shell. The transcript goes to standard
// output a line at a time, as soon as a line is final: a delay's line only
// with its closing text, while the countdown is shown on standard error
// when that is a terminal. The console's statuses and controls have no
// place here.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "console/command_console.h"
#include "console/console_window.h"

namespace corvalt {

class StreamConsoleWindow final : public ConsoleWindow {
public:
    StreamConsoleWindow(std::ostream& out, std::ostream& err, bool errIsTerminal);

    // After a stop is requested (stop_request.h), the session of this
    // console ends as soon as no exchange is under way, and nothing added
    // to the transcript after that is written.
    void StopBetweenExchangesOf(const CommandConsole& console) { m_console = &console; }
    // Writes the last line, which no line break has ended, unless it is
    // the request line of a command that was not sent.
    void Finish();

    std::string CommandText() const override { return m_text; }
    bool HasCommandText() const override { return !m_text.empty(); }
    void ShowCommandText(const std::string& text) override;
    void AppendCommandText(std::string_view text) override;
    bool ReplaceCommandTextEnd(std::string_view oldEnd, std::string_view newEnd) override;

    std::string CommandEditText() const override { return m_commandEdit; }
    void SetCommandEditText(const std::string& text) override { m_commandEdit = text; }

    void FocusCommandEdit() override {}
    void FocusTranscript() override {}
    void ShowStatus(std::string_view) override {}
    void EnableDownloadButton(bool) override {}
    void EnableForDownload(bool) override {}
    void PumpMessages() override {}
    unsigned CommandSession() const override;

private:
    // Writes the lines a line break has ended since the last call, and shows
    // a running countdown.
    void WriteFinishedLines();
    // The transcript as far as it is written: up to the end of the session.
    std::string_view Transcript() const;
    void ClearCountdown();

    std::ostream& m_out;
    std::ostream& m_err;
    bool m_errIsTerminal;
    const CommandConsole* m_console = nullptr;
    std::string m_text;    // the whole transcript, lines separated by CR LF
    size_t m_written = 0;  // its bytes written to m_out: whole lines
    bool m_countdownShown = false;
    // Set when CommandSession() first finds the session ended by a stop.
    mutable std::optional<size_t> m_endedAt;  // the transcript's length then
    mutable unsigned m_looksAfterStop = 0;
    std::string m_commandEdit;
};

}  // namespace corvalt
