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

void CommandConsole::SendCommand()
{
    // The edit shows what will be sent; a text that is no command empties it.
    m_window.SetCommandEditText(ParseCommandLine(m_window.CommandEditText()));

    if (!CheckReaderBeforeSending())
        return;
    if (!VerifyFeatureReport(m_reader, m_messageBox)) {
        m_window.FocusCommandEdit();
        return;
    }
    const size_t reportLength = FeatureReportLength(m_reader);
    if (!FrameCommand(m_window.CommandEditText(), m_fields.m_bAutoAddLength, m_reader.FeatureOut, reportLength,
                      m_messageBox)) {
        m_window.FocusCommandEdit();
        return;
    }

    AppendExchangeLine(FormatRequestLine(m_reader.FeatureOut, reportLength));
    // The window may have been closed while it handled its events.
    if (m_window.IsClosed())
        return;
    ExchangeFeatureReport(m_reader);
    AppendExchangeLine(FormatResponseLine(m_reader.ExchangeStatus, m_reader.FeatureIn, FeatureReportLength(m_reader)));
    m_window.FocusCommandEdit();
}

void CommandConsole::AppendExchangeLine(const std::string& line)
{
    std::string text = m_window.CommandText();
    if (!text.empty())
        text += kLineBreak;
    m_window.ShowCommandText(text + line);
    m_window.PumpMessages();
}

}  // namespace corvalt
