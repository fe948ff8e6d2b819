// The virtual reader: a card reader simulated in plain C++, so the program
// can be tried and tested without hardware. It presents itself as a real
// one does (an accepted vendor id, the product id of a model it can be, a
// report descriptor on the vendor page with the card-data fields of that
// model), turns swipes into input
// reports through that descriptor, answers commands sent as feature
// reports, and keeps the settings the program's panels send.
//
// Interface mode: "01 10 00" (HID) or "01 10 01" (keyboard) takes effect at
// the reset "02": the reader answers it, leaves the device list
// kResetAnswerMs later and, after kRestartMs, comes back with the product id
// of its new mode. In keyboard
// mode a swipe gives the key strokes to type instead of a report.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "reader/reader_models.h"
#include "virtualreader/card_swipe.h"
#include "virtualreader/keyboard_typing.h"
#include "virtualreader/reader_settings.h"

namespace corvalt {

inline constexpr uint16_t kVirtualReaderVendorId = kAcceptedVendorIds[0];
// The model it is when none is named: the first one it can be.
inline constexpr uint16_t kDefaultHidProductId =
    std::ranges::find_if(kReaderModels, &ReaderModel::virtualReaderCanBe)->productId;
// The model it turns into in keyboard mode.
inline constexpr uint16_t kKeyboardProductId =
    std::ranges::find_if(kReaderModels, [](const ReaderModel& model) {
        return model.virtualReaderCanBe && model.mode == ReaderMode::kKeyboard;
    })->productId;
static_assert(FindReaderModel(kDefaultHidProductId)->mode == ReaderMode::kHid);
// How long a reset reader stays off the device list: a real one is back
// within a couple of seconds, well inside the 5 s the program waits.
inline constexpr uint32_t kRestartMs = 2000;
// The reader stays long enough to answer the reset before it goes.
inline constexpr uint32_t kResetAnswerMs = 100;
// The command and answer reports, id byte included.
inline constexpr size_t kVirtualFeatureReportLength = 64;

// The product ids the virtual reader can present itself with.
bool IsVirtualReaderModel(uint16_t productId);
// The model named on a command line: a product id in hexadecimal, with or
// without 0x; 0 when the text names none the virtual reader can be.
uint16_t VirtualReaderModelFromText(std::string_view text);
// Those product ids for the operator, in the table's order with the default
// marked: "0xAAAA (the default), 0xBBBB or 0xCCCC".
std::string VirtualReaderModelsText();

class VirtualReader {
public:
    // productId: one of IsVirtualReaderModel's; it starts plugged in.
    VirtualReader(uint16_t productId, Clock& clock);

    uint16_t VendorId() const { return kVirtualReaderVendorId; }
    uint16_t ProductId() const;
    bool IsKeyboardMode() const { return ProductId() == kKeyboardProductId; }
    std::vector<uint8_t> Descriptor() const;

    // On the device list: plugged in and not restarting.
    bool IsListed() const;
    bool IsPluggedIn() const { return m_pluggedIn; }
    bool IsRestarting() const;
    // Changes whenever the reader leaves the list: a handle opened before
    // then is dead.
    uint64_t Attachment() const;
    void Unplug();
    void PlugIn();

    // A command report: id byte, command, length, data.
    void ReceiveFeature(std::span<const uint8_t> report);
    // The answer to the last command: id byte 0, result code, length, data.
    std::vector<uint8_t> FeatureAnswer() const { return m_answer; }

    // A card goes through. In HID mode its report is queued and nothing is
    // returned; in keyboard mode the keys it types are returned. A reader
    // off the list does nothing.
    std::vector<KeyStroke> Swipe(const CardSwipe& card);
    // The oldest report not yet read.
    std::optional<std::vector<uint8_t>> TakeInputReport();

    const ReaderSettings& Settings() const { return m_settings; }

private:
    void ScheduleRestart();
    // Starts a scheduled restart whose time has come.
    void CatchUp() const;
    std::vector<uint8_t> BuildReport(const CardSwipe& card);

    Clock& m_clock;
    uint16_t m_hidProductId;  // the product id of HID mode
    bool m_keyboardModeAfterReset;
    bool m_pluggedIn = true;
    uint64_t m_restartStartsMs = 0;
    int32_t m_swipeCount = 0;
    ReaderSettings m_settings;
    std::vector<uint8_t> m_answer;
    // What a restart changes, when the clock reaches it.
    mutable bool m_restartScheduled = false;
    mutable uint16_t m_productId;
    mutable uint64_t m_restartEndsMs = 0;
    mutable uint64_t m_attachment = 0;
    mutable std::deque<std::vector<uint8_t>> m_reports;
};

}  // namespace corvalt
