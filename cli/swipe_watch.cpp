#include "cli/swipe_watch.h"

#include <string>
#include <string_view>

#include "rules/card_swipe_steps.h"
#include "rules/reader_poll.h"
#include "rules/window_texts.h"
#include "carddata/card_text.h"
#include "cli/cli_texts.h"
#include "cli/interface_ids.h"
#include "cli/shell_text.h"
#include "cli/stop_request.h"
#include "cli/swipe_json.h"
#include "cli/utc_time.h"
#include "virtualreader/virtual_reader_host.h"

namespace corvalt {

namespace {

// A stop is looked for this often while the watch waits for the poll's
// next step.
constexpr int kStopCheckMs = 50;

// What the poll shows, written to the shell.
class SwipeWriter final : public PollWindow, public CardPresenter {
public:
    SwipeWriter(const ReaderConnection& reader, const WatchSettings& settings, std::ostream& out, std::ostream& err)
        : m_reader(reader), m_settings(settings), m_out(out), m_err(err)
    {
    }

    void ShowStatus(std::string_view text) override { m_status = text; }
    void SetTitle(std::string_view) override {}
    void ShowEmptyCardText() override {}
    // Only a report that could not be decoded is shown as a text of its own.
    void ShowCardText(std::string_view text) override { m_err << text << '\n' << std::flush; }
    void FocusTranscript() override {}
    void PumpMessages() override {}

    void PresentCardData(const CardData& card) override
    {
        // A poll step may read more reports than the count has room for.
        if (CountReached())
            return;
        ++m_swipes;
        const uint16_t productId = m_reader.Attributes.ProductID;
        if (m_settings.format == SwipeFormat::kJson)
            m_out << SwipeJson(card, Rfc3339Utc(m_settings.wallClock()), m_reader.ReaderPath,
                               m_reader.Attributes.VendorID, productId);
        else
            m_out << CardTextForShell(card, productId);
        m_out << '\n' << std::flush;
    }

    bool CountReached() const { return m_settings.count > 0 && m_swipes >= m_settings.count; }

    // After each step of the poll: what the watch waits for now, on
    // standard error when it has changed.
    void ReportState(int pollState)
    {
        std::string state = StateText(pollState);
        if (state == kStatusAttachDevice && !m_settings.absentStatus.empty())
            state = m_settings.absentStatus;
        if (state.empty() || state == m_reported)
            return;
        m_err << state << '\n' << std::flush;
        m_reported = state;
    }

private:
    std::string StateText(int pollState) const
    {
        const std::string reader =
            m_reader.ReaderPath + " (" + IdsText(m_reader.Attributes.VendorID, m_reader.Attributes.ProductID) + ")";
        if (m_reader.IsOpen() && pollState == kHidReading)
            return std::string(kReadingSwipesFrom) + reader;
        if (m_reader.IsOpen() && pollState == kKeyboardReading)
            return reader + std::string(kKeyboardModeReader);
        if (pollState == kNoDevice || pollState == kIdentifying)
            return m_status;
        // Gone while other devices kept the poll reading: it is found again.
        return m_reader.IsOpen() ? std::string() : std::string(kStatusAttachDevice);
    }

    const ReaderConnection& m_reader;
    const WatchSettings& m_settings;
    std::ostream& m_out;
    std::ostream& m_err;
    std::string m_status{kStatusAttachDevice};
    std::string m_reported;
    int m_swipes = 0;
};

}  // namespace

WatchEnd WatchSwipes(HidHost& host, Clock& clock, const WatchSettings& settings, std::ostream& out, std::ostream& err)
{
    ReaderConnection reader(host, clock);
    CardData card;
    CardSwipeSteps steps(reader, card);
    SwipeWriter writer(reader, settings, out, err);
    steps.SetPresenter(&writer);
    ReaderPoll poll(reader, writer, &steps);
    const uint64_t start = clock.NowMs();
    const auto timeUp = [&] { return settings.timeoutMs > 0 && clock.NowMs() - start >= settings.timeoutMs; };
    while (!StopRequested()) {
        poll.PollReader();
        writer.ReportState(poll.State());
        if (writer.CountReached())
            return WatchEnd::kCount;
        // Each poll step reads what one swipe sent.
        if (settings.swipeVirtualReader && reader.IsOpen() && reader.ReaderPath == kVirtualReaderPath &&
            poll.State() == kHidReading && !settings.swipeVirtualReader())
            return WatchEnd::kNoMoreSwipes;
        for (int waited = 0; waited < kPollIntervalMs && !StopRequested() && !timeUp(); waited += kStopCheckMs)
            clock.Sleep(kStopCheckMs);
        if (timeUp())
            return WatchEnd::kTimeout;
    }
    return WatchEnd::kStopped;
}

}  // namespace corvalt
