#include "console/command_console.h"

#include <algorithm>
#include <string>
#include <utility>

#include "console/command_text.h"
#include "console/console_texts.h"
#include "console/delay_count.h"

namespace corvalt {

bool CommandConsole::DownloadCommands()
{
    if (m_running)
        return false;
    m_running = true;
    m_session = m_window.CommandSession();
    const bool allAnswered = RunDownload();
    m_running = false;
    return allAnswered;
}

bool CommandConsole::DownloadCommands(const std::vector<std::string>& commands)
{
    const size_t count = std::min(commands.size(), m_fields.m_strCommands.size());
    std::copy_n(commands.begin(), count, m_fields.m_strCommands.begin());
    m_fields.m_nCommandCount = static_cast<int>(count);
    return DownloadCommands();
}

bool CommandConsole::RunDownload()
{
    m_fields.m_bDownloading = true;
    if (!CheckReaderBeforeSending()) {
        m_fields.m_bDownloading = false;
        return false;
    }

    m_window.EnableForDownload(false);
    m_window.ShowStatus(kStatusSendingConfiguration);
    const bool savedAutoAddLength = m_fields.m_bAutoAddLength;
    m_fields.m_bAutoAddLength = true;

    bool allAnswered = true;
    if (RunCommandList(allAnswered))
        m_window.AppendCommandText(std::string(kLineBreak) + std::string(kDownloadEnd));
    m_fields.m_bDownloading = false;
    m_fields.m_bAutoAddLength = savedAutoAddLength;
    m_window.EnableForDownload(true);
    // Only an enabled edit can take the focus.
    m_window.FocusCommandEdit();
    m_window.ShowStatus(kStatusReadyToSendCommand);
    return allAnswered;
}

bool CommandConsole::RunCommandList(bool& allAnswered)
{
    int failedInARow = 0;
    // The count is read afresh for each entry, as the list may change while
    // the window handles its events.
    for (int i = 0; !SessionEnded(); ++i) {
        const int count = std::min(m_fields.m_nCommandCount, static_cast<int>(kCommandSlotCount));
        if (i >= count)
            return true;
        const std::string entry = m_fields.m_strCommands[static_cast<size_t>(i)];
        if (IsDelayCommand(entry)) {
            if (!RunDelay(entry)) {
                allAnswered = false;
                return false;
            }
            continue;
        }
        m_window.SetCommandEditText(entry);
        const SendResult result = SendEditCommand();
        if (result != SendResult::kAnswered)
            allAnswered = false;
        switch (result) {
        case SendResult::kInterrupted: return false;
        case SendResult::kNoReader:
            // Every later command would find none either, each with its box.
            WriteStopLine(i, count, kStoppedNoReader);
            return true;
        case SendResult::kFailed:
            if (++failedInARow == kFailedExchangesToGiveUp && i + 1 < count) {
                m_messageBox.Show(std::string(kGaveUpMessage));
                WriteStopLine(i + 1, count, kStoppedFailedExchanges);
                return true;
            }
            break;
        case SendResult::kAnswered: failedInARow = 0; break;
        case SendResult::kNotSent: break;
        }
    }
    allAnswered = false;
    return false;
}

void CommandConsole::WriteStopLine(int done, int count, std::string_view reason)
{
    m_window.AppendCommandText(std::string(kLineBreak) + std::string(kStoppedLabel) + " after command " +
                               std::to_string(done) + " of " + std::to_string(count) + ", " + std::string(reason));
}

bool CommandConsole::RunDelay(const std::string& entry)
{
    m_window.FocusTranscript();
    const std::string_view countText = DelayCountText(entry);
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
        if (SessionEnded())
            return false;
    } while (remaining > 0);

    ShowDelayLine(before, shown,
                  label + " (waited " + std::string(countText) + " seconds)" + std::string(kLineBreak) +
                      std::string(kFinishedDownloading));
    return true;
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
    for (uint64_t now = clock.NowMs(); now < end && !SessionEnded(); now = clock.NowMs()) {
        clock.Sleep(static_cast<uint32_t>(std::min<uint64_t>(end - now, kEventSliceMs)));
        m_window.PumpMessages();
    }
}

}  // namespace corvalt
