#include "console/command_console.h"

#include <algorithm>
#include <string>
#include <utility>

#include "console/console_texts.h"
#include "console/delay_count.h"

namespace corvalt {

namespace {

constexpr std::string_view kDelayWord = "delay";
constexpr size_t kDelayCountStart = 6;  // after "delay "

bool IsDelayEntry(const std::string& entry)
{
    return entry.starts_with(kDelayWord);
}

std::string_view CountTextOf(const std::string& entry)
{
    return std::string_view(entry).substr(std::min(entry.size(), kDelayCountStart));
}

}  // namespace

void CommandConsole::DownloadCommands()
{
    m_fields.m_bDownloading = 1;
    if (!CheckReaderBeforeSending()) {
        m_fields.m_bDownloading = 0;
        return;
    }

    m_window.EnableForDownload(false);
    m_window.ShowStatus(kStatusSendingConfiguration);
    const bool savedAutoAddLength = m_fields.m_bAutoAddLength;
    m_fields.m_bAutoAddLength = true;

    // The count is read afresh for each entry, as the list may change while
    // the window handles its events.
    for (int i = 0; !m_window.IsClosed(); ++i) {
        const int count = std::min(m_fields.m_nCommandCount, static_cast<int>(kCommandSlotCount));
        if (i >= count)
            break;
        const std::string entry = m_fields.m_strCommands[static_cast<size_t>(i)];
        if (IsDelayEntry(entry)) {
            RunDelay(entry);
        } else {
            m_window.SetCommandEditText(entry);
            SendCommand();
        }
    }

    if (!m_window.IsClosed())
        m_window.AppendCommandText(std::string(kLineBreak) + std::string(kDownloadEnd));
    m_fields.m_bDownloading = 0;
    m_fields.m_bAutoAddLength = savedAutoAddLength;
    m_window.EnableForDownload(true);
    // Only an enabled edit can take the focus.
    m_window.FocusCommandEdit();
    m_window.ShowStatus(kStatusReadyToSendCommand);
}

void CommandConsole::RunDelay(const std::string& entry)
{
    m_window.FocusTranscript();
    const std::string_view countText = CountTextOf(entry);
    // Wide enough to count down from the lowest count without overflow.
    int64_t remaining = DelayCount(countText);

    const std::string before = m_window.CommandText();
    const std::string label = std::string(kLineBreak) + std::string(kDelayLabel);
    std::string shown;
    do {
        ShowDelayLine(before, shown, label + " " + std::to_string(remaining) + " seconds");
        m_window.PumpMessages();
        --remaining;
        WaitHandlingEvents(kDelayStepMs);
        if (m_window.IsClosed())
            return;
    } while (remaining > 0);

    ShowDelayLine(before, shown,
                  label + " (waited " + std::string(countText) + " seconds)" + std::string(kLineBreak) +
                      std::string(kFinishedDownloading));
}

void CommandConsole::ShowDelayLine(const std::string& before, std::string& shown, std::string line)
{
    if (shown.empty())
        m_window.AppendCommandText(line);
    else if (!m_window.ReplaceCommandTextEnd(shown, line))
        m_window.ShowCommandText(before + line);  // the lines cleared meanwhile come back
    shown = std::move(line);
}

void CommandConsole::WaitHandlingEvents(uint32_t milliseconds)
{
    Clock& clock = m_reader.clock;
    const uint64_t end = clock.NowMs() + milliseconds;
    for (uint64_t now = clock.NowMs(); now < end && !m_window.IsClosed(); now = clock.NowMs()) {
        clock.Sleep(static_cast<uint32_t>(std::min<uint64_t>(end - now, kEventSliceMs)));
        m_window.PumpMessages();
    }
}

}  // namespace corvalt
