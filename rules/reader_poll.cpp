#include "rules/reader_poll.h"

#include <string>

#include "rules/window_texts.h"
#include "console/console_texts.h"
#include "reader/reader_models.h"

namespace corvalt {

PollState ModeForProduct(uint16_t productId)
{
    const ReaderModel* model = FindReaderModel(productId);
    if (model == nullptr)
        return kIdentifying;
    return model->mode == ReaderMode::kHid ? kHidModeFound : kKeyboardModeFound;
}

ReaderPoll::ReaderPoll(ReaderConnection& connection, PollWindow& window, CardReportSteps* cardSteps)
    : m_reader(connection), m_window(window), m_cardSteps(cardSteps)
{
}

void ReaderPoll::Restart()
{
    ++m_run;
    m_nPollState = kNoDevice;
    m_unusableReaderShown = false;
}

void ReaderPoll::Stop()
{
    ++m_run;
}

void ReaderPoll::PollReader()
{
    if (m_stepRunning)
        return;
    m_stepRunning = true;
    const unsigned run = m_run;
    CheckPresence();
    ActOnState(run);
    m_stepRunning = false;
}

void ReaderPoll::CheckPresence()
{
    if (IsHidInterfacePresent(m_reader)) {
        const bool wasOpen = m_reader.IsOpen();
        OpenReader(m_reader);
        if (m_nPollState == kNoDevice)
            m_nPollState = kIdentifying;
        // A reader found again after it went away while other HID devices
        // kept the poll out of its search is read on as before, unless it
        // is another model: its mode and card fields are not the ones set
        // up, so it is identified afresh.
        const bool foundAgain =
            !wasOpen && m_reader.IsOpen() && (m_nPollState == kHidReading || m_nPollState == kKeyboardReading);
        if (foundAgain && m_reader.Attributes.ProductID != m_setUpProductId)
            m_nPollState = kIdentifying;
        else if (foundAgain)
            ShowReadyToRead();
    } else {
        CloseReader(m_reader);
        m_nPollState = kNoDevice;
    }
}

void ReaderPoll::ActOnState(unsigned run)
{
    switch (m_nPollState) {
    case kNoDevice:
        m_unusableReaderShown = false;
        m_window.ShowStatus(kStatusAttachDevice);
        m_window.SetTitle(kTitleSearching);
        m_window.ShowEmptyCardText();
        break;
    case kIdentifying:
        // Only an open reader's ids count: discovery also fills them in from
        // devices it then turns down.
        if (m_reader.IsOpen()) {
            m_setUpProductId = m_reader.Attributes.ProductID;
            m_nPollState = ModeForProduct(m_setUpProductId);
        } else {
            ShowUnusableReader();
        }
        break;
    case kHidModeFound:
        if (m_cardSteps != nullptr)
            m_cardSteps->LoadDataUsageSizes();
        m_nPollState = kHidReading;
        ShowReadyToRead();
        m_window.FocusTranscript();
        break;
    case kKeyboardModeFound:
        m_nPollState = kKeyboardReading;
        ShowReadyToRead();
        m_window.FocusTranscript();
        break;
    case kHidReading: ReadCardReport(run); break;
    case kKeyboardReading:
        // Nothing is read in this mode: only the list shows that the
        // reader has gone.
        if (!m_reader.IsOpen())
            ShowReaderAway();
        break;
    default: break;
    }
}

void ReaderPoll::ShowReadyToRead()
{
    m_window.SetTitle(m_nPollState == kKeyboardReading ? kTitleKeyboardMode : kTitleHidMode);
    m_window.ShowStatus(kStatusSwipeCard);
}

// Until the reader is found again the window searches, as with only other
// devices there.
void ReaderPoll::ShowReaderAway()
{
    m_window.SetTitle(kTitleSearching);
    m_window.ShowStatus(kStatusAttachDevice);
}

void ReaderPoll::ShowUnusableReader()
{
    std::string status;
    if (m_reader.bAccessDenied)
        status = std::string(kStatusPrefix) + std::string(kAccessDeniedAdvice);
    else if (!m_reader.UnsupportedReason.empty())
        status = std::string(kStatusPrefix) + UnsupportedReaderText(m_reader.UnsupportedReason);

    if (!status.empty())
        m_window.ShowStatus(status);
    else if (m_unusableReaderShown)
        m_window.ShowStatus(kStatusAttachDevice);
    m_unusableReaderShown = !status.empty();
}

void ReaderPoll::ReadCardReport(unsigned run)
{
    if (m_cardSteps == nullptr)
        return;
    if (!m_cardSteps->PollInputReport()) {
        // A read that failed closed the reader: it has gone.
        if (!m_reader.IsOpen())
            ShowReaderAway();
        return;
    }
    m_window.ShowStatus(kStatusProcessingData);
    m_window.ShowEmptyCardText();
    if (!PumpMessagesAndContinue(run))
        return;
    m_reader.clock.Sleep(kReportSettleMs);
    if (m_cardSteps->DecodeCardReport())
        m_cardSteps->PresentCardData();
    else
        m_window.ShowCardText(std::string(kUndecodedReportPrefix) + m_reader.LastErrorText);
    m_window.ShowStatus(kStatusSwipeCard);
    m_window.PumpMessages();
}

bool ReaderPoll::PumpMessagesAndContinue(unsigned run)
{
    m_window.PumpMessages();
    return run == m_run;
}

}  // namespace corvalt
