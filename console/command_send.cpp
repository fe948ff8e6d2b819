#include "console/command_console.h"

#include "console/command_framing.h"
#include "console/command_text.h"
#include "console/console_texts.h"
#include "console/exchange_lines.h"
#include "reader/feature_exchange.h"

namespace corvalt {

CommandConsole::CommandConsole(ReaderConnection& reader, MessageBox& messageBox, ConsoleWindow& window,
                               ConsoleFields fields)
    : m_reader(reader), m_messageBox(messageBox), m_window(window), m_fields(fields)
{
}

bool CommandConsole::CheckReaderBeforeSending()
{
    if (!m_reader.LastErrorText.empty()) {
        m_messageBox.Show(std::string(kFatalErrorPrefix) + m_reader.LastErrorText);
        return false;
    }
    if (!m_reader.IsOpen())
        OpenReader(m_reader);
    if (!m_reader.IsOpen()) {
        std::string text(kAttachDevice);
        if (m_reader.bAccessDenied)
            text.append("\n").append(kAccessDeniedAdvice);
        if (!m_reader.UnsupportedReason.empty())
            text.append("\n").append(UnsupportedReaderText(m_reader.UnsupportedReason));
        m_messageBox.Show(text);
        return false;
    }
    if (!m_reader.LastErrorText.empty()) {
        m_messageBox.Show(std::string(kFatalErrorPrefix) + m_reader.LastErrorText);
        return false;
    }
    return true;
}

bool CommandConsole::SendCommand()
{
    if (m_running)
        return false;
    m_running = true;
    m_session = m_window.CommandSession();
    const bool answered = SendEditCommand() == SendResult::kAnswered;
    m_running = false;
    return answered;
}

CommandConsole::SendResult CommandConsole::SendEditCommand()
{
    const std::string normal = ParseCommandLine(m_window.CommandEditText());
    // A delay waits only in a script: typed here its letters would be framed
    // as bytes. It is refused, and the edit keeps it.
    if (IsDelayCommand(normal)) {
        m_messageBox.Show(std::string(kDelayIsNoCommand));
        m_window.FocusCommandEdit();
        return SendResult::kNotSent;
    }
    // The edit shows what will be sent; a text that is no command empties it.
    m_window.SetCommandEditText(normal);

    if (!CheckReaderBeforeSending())
        return SendResult::kNoReader;
    if (!VerifyFeatureReport(m_reader)) {
        m_messageBox.Show(std::string(kUnableToInitialize));
        m_window.FocusCommandEdit();
        return SendResult::kNoReader;
    }
    const size_t reportLength = FeatureReportLength(m_reader);
    if (!FrameCommand(m_window.CommandEditText(), m_fields.m_bAutoAddLength, m_reader.FeatureOut, reportLength,
                      m_messageBox)) {
        m_window.FocusCommandEdit();
        return SendResult::kNotSent;
    }

    // The session is looked at once more after the request line is shown:
    // the last moment to stop before the command goes out.
    const bool requestShown = AppendExchangeLine(FormatRequestLine(m_reader.FeatureOut, reportLength));
    if (!requestShown) {
        // The record matches the wire: this request never went out.
        m_window.AppendCommandText(std::string(kLineBreak) + std::string(kNotSentLine));
        return SendResult::kInterrupted;
    }
    m_exchanging = true;
    ExchangeFeatureReport(m_reader);
    m_exchanging = false;
    const bool answered = m_reader.ExchangeStatus == ExchangeOutcome::kAnswered;
    const std::string response =
        FormatResponseLine(m_reader.ExchangeStatus, m_reader.FeatureIn, FeatureReportLength(m_reader));
    if (!AppendExchangeLine(response))
        return SendResult::kInterrupted;
    m_window.FocusCommandEdit();
    return answered ? SendResult::kAnswered : SendResult::kFailed;
}

bool CommandConsole::AppendExchangeLine(const std::string& line)
{
    m_window.AppendCommandText(m_window.HasCommandText() ? std::string(kLineBreak) + line : line);
    m_window.PumpMessages();
    return !SessionEnded();
}

}  // namespace corvalt
