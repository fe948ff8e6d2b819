// The reading-mode poll: one step per timer tick. It watches for HID
// devices, lets discovery open the reader, picks HID or keyboard mode from
// the reader's product id and, in HID mode, hands each card report to the
// card-data steps.
//
// The poll never touches widgets: it talks to the window through PollWindow.
// A step may pump the window's messages, so a tick or a mode switch can run
// in the middle of it; a tick that arrives while a step runs is ignored, and
// a step whose reading mode was left or restarted during a pump stops there
// instead of touching a reader the switch has closed.
#pragma once

#include <cstdint>
#include <string_view>

#include "reader/reader_connection.h"

namespace corvalt {

// What the poll asks of the window.
class PollWindow {
public:
    virtual ~PollWindow() = default;
    virtual void ShowStatus(std::string_view text) = 0;
    virtual void SetTitle(std::string_view text) = 0;
    // Empties the reading-mode transcript and shows it.
    virtual void ShowEmptyCardText() = 0;
    // Replaces the reading-mode transcript with the text and shows it.
    virtual void ShowCardText(std::string_view text) = 0;
    virtual void FocusTranscript() = 0;
    // Handles every pending window event, then returns.
    virtual void PumpMessages() = 0;
};

// Reading, decoding and showing card reports: the card-data code provides
// them. Without them the poll finds the reader and sets its mode up but
// reads no reports.
class CardReportSteps {
public:
    virtual ~CardReportSteps() = default;
    virtual void LoadDataUsageSizes() = 0;
    // True when a complete report has arrived.
    virtual bool PollInputReport() = 0;
    // True when the report was decoded; otherwise the connection's
    // LastErrorText says why.
    virtual bool DecodeCardReport() = 0;
    virtual void PresentCardData() = 0;
};

enum PollState : int {
    kNoDevice = 0,           // no HID device present at all
    kIdentifying = 1,        // HID devices present; waiting for a reader with a known product id
    kHidModeFound = 2,       // the reader sends card data as input reports; set-up pending
    kKeyboardModeFound = 3,  // the reader types card data as a keyboard; set-up pending
    kHidReading = 4,         // reading and decoding input reports
    kKeyboardReading = 5,    // nothing to do: card data arrives as keystrokes
};

// The state a reader's product id leads to from kIdentifying.
PollState ModeForProduct(uint16_t productId);

// The time between two steps of the poll.
constexpr int kPollIntervalMs = 300;
// The wait between a report's arrival and its decoding.
constexpr uint32_t kReportSettleMs = 100;

class ReaderPoll {
public:
    ReaderPoll(ReaderConnection& connection, PollWindow& window, CardReportSteps* cardSteps);

    int State() const { return m_nPollState; }

    // Entering reading mode: the search starts over from kNoDevice, and a
    // step interrupted by the switch stops at its next pump.
    void Restart();
    // Leaving reading mode: a step interrupted by the switch stops at its
    // next pump.
    void Stop();

    // One step; ignored while another step is running.
    void PollReader();

private:
    void CheckPresence();
    void ActOnState(unsigned run);
    // The title of the mode being read, and the swipe status.
    void ShowReadyToRead();
    // The reader being read has gone while other devices stay listed.
    void ShowReaderAway();
    // While no reader is open: names a listed reader that cannot be used on
    // every tick, and once none is left asks for a device again.
    void ShowUnusableReader();
    void ReadCardReport(unsigned run);
    // Pumps the window's messages; false when reading mode was left or
    // restarted meanwhile.
    bool PumpMessagesAndContinue(unsigned run);

    ReaderConnection& m_reader;
    PollWindow& m_window;
    CardReportSteps* m_cardSteps;
    int m_nPollState = kNoDevice;
    uint16_t m_setUpProductId = 0;  // the product id the current mode was chosen for
    unsigned m_run = 0;             // counts entries into and exits from reading mode
    bool m_stepRunning = false;
    bool m_unusableReaderShown = false;  // the status names a reader that cannot be used
};

}  // namespace corvalt
