// The program's one connection to a card reader: the record every part of
// the reader transport and the card decoder reads, and the operations that
// find, open, check and close the reader.
//
// The application owns the one instance and hands it around by reference,
// so each test makes its own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/hid_host.h"
#include "platform/hidd.h"
#include "platform/hidp.h"
#include "reader/reader_models.h"

namespace corvalt {

// Buffer sizes: a reader declaring longer reports is not supported.
constexpr size_t kInputReportCapacity = 512;
constexpr size_t kFeatureReportCapacity = 64;

// Time a reader is given to settle after it is listed and before it is opened.
constexpr uint32_t kSettleWaitMs = 1000;

// How the last command exchange ended.
enum class ExchangeOutcome : uint8_t {
    kAnswered = 0,      // sent, and the answer is in FeatureIn
    kNotDelivered = 1,  // not sent, even on a reopened reader
    kNoAnswer = 2,      // sent, but no answer could be read
};

struct ReaderConnection {
    ReaderConnection(HidHost& host, Clock& clock);
    ~ReaderConnection();
    ReaderConnection(const ReaderConnection&) = delete;
    ReaderConnection& operator=(const ReaderConnection&) = delete;

    bool IsOpen() const { return hDevice != nullptr; }

    HidHost& host;
    Clock& clock;

    std::unique_ptr<HidDevice> hDevice;  // null whenever no reader is open
    UniquePreparsedData pPreparsedData;  // the open reader's descriptor
    HIDD_ATTRIBUTES Attributes{};        // ids of the last reader examined
    HIDP_CAPS Caps{};                    // report lengths of the last reader examined
    ExchangeOutcome ExchangeStatus = ExchangeOutcome::kAnswered;
    std::array<uint8_t, kInputReportCapacity> InputReport{};
    std::array<uint8_t, kFeatureReportCapacity> FeatureOut{};
    std::array<uint8_t, kFeatureReportCapacity> FeatureIn{};
    std::string LastErrorText;  // empty means no error; blocks every send
    // The listed node of the open reader, empty when none is open. When it
    // leaves the list the reader is gone, even if nothing has used the
    // handle since (in keyboard mode nothing does).
    std::string ReaderPath;

    // The last discovery pass listed an accepted reader but the system denied
    // access to its node (no udev rule): the window tells the user so.
    bool bAccessDenied = false;
    std::string DeniedPath;

    // The last discovery pass met a reader with accepted ids that this
    // program cannot drive (its descriptor refused, its reports longer than
    // the buffers): why, in a few words. Empty when it met none.
    std::string UnsupportedReason;

    // Interfaces that had their settle wait and are still listed, the
    // reader's own among them. The wait belongs to a node that has just
    // appeared: a reader that cannot be used (no permission, a failed check)
    // is examined again on every poll, and one whose reads or sends keep
    // failing is opened again after each failure; waiting each time would
    // freeze the window. A node that leaves the list, or whose device a call
    // found gone, settles again when it is met next; so does every node
    // after a mode switch.
    std::set<std::string> SettledPaths;
};

// Discovery: opens the first listed interface that passes every identity
// check, unless a reader is open already. Callers test IsOpen(); the result
// is false only when the interface list could not be obtained.
bool OpenReader(ReaderConnection& connection);

// Closes the reader and releases its descriptor. Safe when nothing is open.
void CloseReader(ReaderConnection& connection);

// Closes the reader after a call on it failed. When the call found the
// device gone, a node met later at its path is another device, even
// if no list saw it leave: it settles before it is opened.
void CloseFailedReader(ReaderConnection& connection);

// Resets the record for an operating mode: no error text, no reader, no
// descriptor.
void InitReaderConnection(ReaderConnection& connection);

// True when the system lists at least one HID interface, whatever it is.
// Like discovery it notes what has left the list: an open reader whose node
// has gone is closed, and a node that comes back settles again.
bool IsHidInterfacePresent(ReaderConnection& connection);

// Why reports of these lengths cannot be read into the buffers; empty when
// they fit.
std::string ReportsTooLong(const HIDP_CAPS& caps);

// What the user is told about UnsupportedReason:
// "Reader found, but it is not supported (<reason>)".
std::string UnsupportedReaderText(std::string_view reason);

// True when the open reader has a usable feature report. The caller tells
// the operator when it has not.
bool VerifyFeatureReport(const ReaderConnection& connection);

}  // namespace corvalt
