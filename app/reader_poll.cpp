#include "app/reader_poll.h"

#include <string>

#include "app/window_texts.h"
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
    : reader_(connection), window_(window), cardSteps_(cardSteps)
{
}

void ReaderPoll::Restart()
{
    ++run_;
    m_nPollState = kNoDevice;
    unusableReaderShown_ = false;
}

void ReaderPoll::Stop()
{
    ++run_;
}

void ReaderPoll::PollReader()
{
    if (stepRunning_)
        return;
    stepRunning_ = true;
    const unsigned run = run_;
    CheckPresence();
    ActOnState(run);
    stepRunning_ = false;
}

void ReaderPoll::CheckPresence()
{
    if (IsHidInterfacePresent(reader_)) {
        const bool wasOpen = reader_.IsOpen();
        OpenReader(reader_);
        if (m_nPollState == kNoDevice)
            m_nPollState = kIdentifying;
        // A reader found again after it went away while other HID devices
        // kept the poll out of its search is read on as before, unless it
        // is another model: its mode and card fields are not the ones set
        // up, so it is identified afresh.
        if (!wasOpen && reader_.IsOpen() && m_nPollState != kIdentifying &&
            reader_.Attributes.ProductID != setUpProductId_)
            m_nPollState = kIdentifying;
    } else {
        CloseReader(reader_);
        m_nPollState = kNoDevice;
    }
}

void ReaderPoll::ActOnState(unsigned run)
{
    switch (m_nPollState) {
    case kNoDevice:
        unusableReaderShown_ = false;
        window_.ShowStatus(kStatusAttachDevice);
        window_.SetTitle(kTitleSearching);
        window_.ShowEmptyCardText();
        break;
    case kIdentifying:
        // Only an open reader's ids count: discovery also fills them in from
        // devices it then turns down.
        if (reader_.IsOpen()) {
            setUpProductId_ = reader_.Attributes.ProductID;
            m_nPollState = ModeForProduct(setUpProductId_);
        } else {
            ShowUnusableReader();
        }
        break;
    case kHidModeFound:
        if (cardSteps_ != nullptr)
            cardSteps_->LoadDataUsageSizes();
        window_.SetTitle(kTitleHidMode);
        window_.ShowStatus(kStatusSwipeCard);
        window_.FocusTranscript();
        m_nPollState = kHidReading;
        break;
    case kKeyboardModeFound:
        window_.SetTitle(kTitleKeyboardMode);
        window_.ShowStatus(kStatusSwipeCard);
        window_.FocusTranscript();
        m_nPollState = kKeyboardReading;
        break;
    case kHidReading:
        ReadCardReport(run);
        break;
    default:
        break;
    }
}

void ReaderPoll::ShowUnusableReader()
{
    std::string status;
    if (reader_.bAccessDenied)
        status = std::string(kStatusPrefix) + std::string(kAccessDeniedAdvice);
    else if (!reader_.UnsupportedReason.empty())
        status = std::string(kStatusPrefix) + UnsupportedReaderText(reader_.UnsupportedReason);

    if (!status.empty())
        window_.ShowStatus(status);
    else if (unusableReaderShown_)
        window_.ShowStatus(kStatusAttachDevice);
    unusableReaderShown_ = !status.empty();
}

void ReaderPoll::ReadCardReport(unsigned run)
{
    if (cardSteps_ == nullptr || !cardSteps_->PollInputReport())
        return;
    window_.ShowStatus(kStatusProcessingData);
    window_.ShowEmptyCardText();
    if (!PumpMessagesAndContinue(run))
        return;
    reader_.clock.Sleep(kReportSettleMs);
    if (cardSteps_->DecodeCardReport())
        cardSteps_->PresentCardData();
    else
        window_.ShowCardText(std::string(kUndecodedReportPrefix) + reader_.LastErrorText);
    window_.ShowStatus(kStatusSwipeCard);
    window_.PumpMessages();
}

bool ReaderPoll::PumpMessagesAndContinue(unsigned run)
{
    window_.PumpMessages();
    return run == run_;
}

}  // namespace corvalt
