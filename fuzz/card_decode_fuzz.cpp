// Decodes arbitrary input reports through a fixed reader-like descriptor and
// writes the result as the window would. Input layout: one byte picks the
// reader model (its product id), the rest is the report as the host hands
// it over, id byte first; a report shorter than the descriptor declares is
// zero-filled, as the host does. Beyond the sanitizers' checks it traps when
// a text comes out longer than the record's field it was taken from, or a
// decode reports success with an error text (or failure without one).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>

#include "carddata/card_decoder.h"
#include "carddata/card_text.h"

namespace {

using namespace corvalt;

// Every card-data field any model has, on the vendor page 0xFF00: 8-bit
// decode statuses and lengths, three 110-byte tracks, the encode type and
// card status, 32-bit Stripeseal status and length, a 64-byte Stripeseal, a
// 16-byte serial number, a 32-bit sequence counter; and a 63-byte feature
// report for commands. No report ids.
constexpr uint8_t kReaderDescriptor[] = {
    0x06, 0x00, 0xFF,  // Usage Page (vendor 0xFF00)
    0x09, 0x01,        // Usage (0x01)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x01,        //   Report Count (1)
    0x09, 0x20, 0x81, 0x02,  // Usage (track 1 decode status), Input (Data,Var,Abs)
    0x09, 0x21, 0x81, 0x02,  // track 2 decode status
    0x09, 0x22, 0x81, 0x02,  // track 3 decode status
    0x09, 0x28, 0x81, 0x02,  // track 1 length
    0x09, 0x29, 0x81, 0x02,  // track 2 length
    0x09, 0x2A, 0x81, 0x02,  // track 3 length
    0x95, 0x6E,              //   Report Count (110)
    0x09, 0x30, 0x81, 0x02,  // track 1 data
    0x09, 0x31, 0x81, 0x02,  // track 2 data
    0x09, 0x32, 0x81, 0x02,  // track 3 data
    0x95, 0x01,              //   Report Count (1)
    0x09, 0x38, 0x81, 0x02,  // encode type
    0x09, 0x39, 0x81, 0x02,  // card status
    0x75, 0x20,                          //   Report Size (32)
    0x27, 0xFF, 0xFF, 0xFF, 0x7F,        //   Logical Maximum (0x7FFFFFFF)
    0x09, 0x23, 0x81, 0x02,  // Stripeseal status
    0x09, 0x2B, 0x81, 0x02,  // Stripeseal length
    0x75, 0x08,              //   Report Size (8)
    0x26, 0xFF, 0x00,        //   Logical Maximum (255)
    0x95, 0x40,              //   Report Count (64)
    0x09, 0x33, 0x81, 0x02,  // Stripeseal data
    0x95, 0x10,              //   Report Count (16)
    0x09, 0x40, 0x81, 0x02,  // serial number
    0x75, 0x20,                          //   Report Size (32)
    0x27, 0xFF, 0xFF, 0xFF, 0x7F,        //   Logical Maximum (0x7FFFFFFF)
    0x95, 0x01,              //   Report Count (1)
    0x09, 0x41, 0x81, 0x02,  // sequence counter
    0x75, 0x08,              //   Report Size (8)
    0x26, 0xFF, 0x00,        //   Logical Maximum (255)
    0x95, 0x3F,              //   Report Count (63)
    0x09, 0x20, 0xB1, 0x02,  // command data, Feature (Data,Var,Abs)
    0xC0,                    // End Collection
};

constexpr uint16_t kProducts[] = {0x0001, 0x0002, 0x0003, 0x0009, 0x3001, 0x3003};

// Decoding never reaches the host or the clock: the connection is set up by
// hand from the descriptor above.
class NoHost final : public HidHost {
public:
    bool ListInterfaces(std::vector<HidInterfaceInfo>&) override { return false; }
    std::unique_ptr<HidDevice> Open(const std::string&, HidAccess) override { return nullptr; }
    const HidError& LastError() const override { return error_; }

private:
    HidError error_;
};

class NoClock final : public Clock {
public:
    uint64_t NowMs() const override { return 0; }
    void Sleep(uint32_t) override {}
};

void check(bool ok)
{
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static NoHost host;
    static NoClock clock;
    static ReaderConnection c(host, clock);
    if (c.pPreparsedData == nullptr) {
        c.pPreparsedData = HidP_ParseReportDescriptor(kReaderDescriptor, sizeof kReaderDescriptor);
        check(c.pPreparsedData != nullptr && HidP_GetCaps(c.pPreparsedData, &c.Caps) == HIDP_STATUS_SUCCESS);
    }
    if (size == 0) return 0;

    c.Attributes.ProductID = kProducts[bytes[0] % std::size(kProducts)];
    const size_t reportBytes = std::min(size - 1, c.InputReport.size());
    c.InputReport.fill(0);
    std::memcpy(c.InputReport.data(), bytes + 1, reportBytes);
    c.LastErrorText.clear();

    CardData card;
    LoadDataUsageSizes(c, card);
    check(c.LastErrorText.empty());
    const bool decoded = DecodeCardReport(c, card);
    check(decoded == c.LastErrorText.empty());

    check(card.Track1Text.size() <= kTrackDataCapacity && card.Track2Text.size() <= kTrackDataCapacity &&
          card.Track3Text.size() <= kTrackDataCapacity);
    check(card.StripesealText.size() <= kStripesealDataCapacity &&
          card.SerialNumberText.size() <= card.SerialNumberSize);
    const std::string text = FormatCardText(card, c.Attributes.ProductID);
    check(!text.empty());
    return 0;
}
