#include "cli/stream_console_window.h"

#include <algorithm>

#include "cli/shell_text.h"
#include "cli/stop_request.h"
#include "console/console_texts.h"
#include "console/exchange_lines.h"

namespace corvalt {

StreamConsoleWindow::StreamConsoleWindow(std::ostream& out, std::ostream& err, bool errIsTerminal)
    : m_out(out), m_err(err), m_errIsTerminal(errIsTerminal)
{
}

void StreamConsoleWindow::ShowCommandText(const std::string& text)
{
    // Lines written stay written; only what follows them can change.
    m_text = text;
    m_written = std::min(m_written, m_text.size());
    WriteFinishedLines();
}

void StreamConsoleWindow::AppendCommandText(std::string_view text)
{
    m_text.append(text);
    WriteFinishedLines();
}

bool StreamConsoleWindow::ReplaceCommandTextEnd(std::string_view oldEnd, std::string_view newEnd)
{
    if (!m_text.ends_with(oldEnd))
        return false;
    m_text.resize(m_text.size() - oldEnd.size());
    m_text.append(newEnd);
    m_written = std::min(m_written, m_text.size());
    WriteFinishedLines();
    return true;
}

unsigned StreamConsoleWindow::CommandSession() const
{
    if (m_console == nullptr || !StopRequested() || m_console->IsExchanging())
        return 0;
    // The session ends with the transcript as it stands; once it has, no
    // session lasts from one look to the next, whenever it began.
    if (!m_endedAt)
        m_endedAt = m_text.size();
    return ++m_looksAfterStop;
}

std::string_view StreamConsoleWindow::Transcript() const
{
    return std::string_view(m_text).substr(0, m_endedAt.value_or(m_text.size()));
}

void StreamConsoleWindow::Finish()
{
    ClearCountdown();
    const std::string_view last = Transcript().substr(m_written);
    // A request line left last is a command the session ended before it was sent.
    if (!last.empty() && !last.starts_with(kRequestLabel))
        m_out << LinesForShell(last) << '\n' << std::flush;
    m_written = m_text.size();
}

void StreamConsoleWindow::WriteFinishedLines()
{
    const std::string_view transcript = Transcript();
    const size_t lastBreak = transcript.rfind(kLineBreak);
    if (lastBreak != std::string::npos && lastBreak + kLineBreak.size() > m_written) {
        const size_t end = lastBreak + kLineBreak.size();
        ClearCountdown();
        m_out << LinesForShell(transcript.substr(m_written, end - m_written)) << std::flush;
        m_written = end;
    }
    const std::string_view unfinished = transcript.substr(m_written);
    if (m_errIsTerminal && unfinished.starts_with(kDelayLabel)) {
        // Back to the start of the line, the count, and the rest of the
        // line cleared.
        m_err << '\r' << unfinished << "\x1b[K" << std::flush;
        m_countdownShown = true;
    }
}

void StreamConsoleWindow::ClearCountdown()
{
    if (!m_countdownShown)
        return;
    m_err << "\r\x1b[K" << std::flush;
    m_countdownShown = false;
}

}  // namespace corvalt
