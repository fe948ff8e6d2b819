// One reader from plug-in to a command, all of it taken from the input: the
// device's ids, report descriptor, input report and feature answer, and the
// faults it shows. The program's own steps then run as the window runs
// them: discovery, the size lookup, one poll read, decoding, the card
// text, one command framed and exchanged, and its response line.
//
// Input layout (the seeds in corpus/reader_session follow it):
//   byte 0   bits 0-2 the product (the model of that row in
//            reader/reader_models.h, or a product that is no reader's for
//            rows the table does not have), bit 3 the list does not tell the
//            ids, bit 4 the first command send fails, bit 5 the answer cannot
//            be read, bit 6 reads fail, bit 7 the second accepted vendor
//            instead of the first
//   byte 1   bit 0 the command's length byte is computed
//   2 bytes  little-endian length D, then D descriptor bytes
//   2 bytes  little-endian length R, then the input report as the host hands
//            it over, id byte first (none queued when R is 0)
//   1 byte   length C, then C bytes of command text as typed
//   the rest the feature answer, id byte first
// Beyond the sanitizers' checks it traps when an open reader declares
// reports longer than its buffers, a decode's result and its error text
// disagree, a text outgrows the field it came from, or a failed exchange
// leaves the reader open.
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "carddata/card_decoder.h"
#include "carddata/card_text.h"
#include "console/command_framing.h"
#include "console/command_text.h"
#include "console/exchange_lines.h"
#include "reader/feature_exchange.h"
#include "reader/input_report.h"
#include "reader/reader_connection.h"
#include "reader/reader_models.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_hid_host.h"

namespace {

using corvalt::fuzz::check;

using namespace corvalt;

constexpr uint16_t kNoReaderProduct = 0x0004;

// Every model's product id, then a product that is no reader's.
constexpr std::array<uint16_t, 8> kProducts = [] {
    static_assert(std::size(kReaderModels) < 8);
    std::array<uint16_t, 8> products{};
    products.fill(kNoReaderProduct);
    for (size_t i = 0; i < std::size(kReaderModels); ++i)
        products[i] = kReaderModels[i].productId;
    return products;
}();
static_assert(!IsAcceptedProduct(kNoReaderProduct));

class CountingMessageBox final : public MessageBox {
public:
    void Show(const std::string&) override { ++shown; }
    int shown = 0;
};

struct Input {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;

    uint8_t Byte() { return pos < size ? data[pos++] : 0; }
    uint16_t Word() { return static_cast<uint16_t>(Byte() | Byte() << 8); }
    std::vector<uint8_t> Bytes(size_t count)
    {
        count = std::min(count, size - pos);
        std::vector<uint8_t> bytes(data + pos, data + pos + count);
        pos += count;
        return bytes;
    }
};

void CheckCardTexts(const CardData& card)
{
    check(card.Track1Text.size() <= kTrackDataCapacity && card.Track2Text.size() <= kTrackDataCapacity &&
          card.Track3Text.size() <= kTrackDataCapacity);
    check(card.StripesealText.size() <= kStripesealDataCapacity &&
          card.SerialNumberText.size() <= std::min<size_t>(card.SerialNumberSize, kSerialNumberCapacity));
}

// Swipe steps of reading mode: sizes, one read, decoding, the text.
void ReadOneSwipe(ReaderConnection& reader)
{
    CardData card;
    LoadDataUsageSizes(reader, card);
    if (!PollInputReport(reader))
        return;
    reader.LastErrorText.clear();
    const bool decoded = DecodeCardReport(reader, card);
    check(decoded == reader.LastErrorText.empty());
    CheckCardTexts(card);
    check(!FormatCardText(card, reader.Attributes.ProductID).empty());
}

// A send of command mode: discovery again if the read closed the reader,
// the checks, framing, the exchange and its two lines.
void SendOneCommand(ReaderConnection& reader, const std::string& typed, bool autoAddLength)
{
    reader.LastErrorText.clear();
    if (!reader.IsOpen())
        OpenReader(reader);
    if (!reader.IsOpen() || !VerifyFeatureReport(reader))
        return;
    const size_t reportLength = FeatureReportLength(reader);
    CountingMessageBox box;
    if (!FrameCommand(ParseCommandLine(typed), autoAddLength, reader.FeatureOut, reportLength, box))
        return;
    check(FormatRequestLine(reader.FeatureOut, reportLength).starts_with("Request      : CMND="));
    ExchangeFeatureReport(reader);
    check(reader.ExchangeStatus <= ExchangeOutcome::kNoAnswer);
    check(reader.ExchangeStatus == ExchangeOutcome::kAnswered || !reader.IsOpen());
    const std::string response =
        FormatResponseLine(reader.ExchangeStatus, reader.FeatureIn, FeatureReportLength(reader));
    check(!response.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    Input in{bytes, size};
    const uint8_t model = in.Byte();
    const bool autoAddLength = (in.Byte() & 0x01) != 0;
    std::vector<uint8_t> descriptor = in.Bytes(in.Word());
    std::vector<uint8_t> report = in.Bytes(in.Word());
    const std::vector<uint8_t> command = in.Bytes(in.Byte());
    const std::vector<uint8_t> answer = in.Bytes(size);

    testing::FakeHidHost host;
    testing::FakeClock clock;
    const uint16_t vendorId = kAcceptedVendorIds[(model & 0x80) != 0 ? 1 : 0];
    auto device = host.AddDevice("/dev/hidraw0", vendorId, kProducts[model & 0x07], std::move(descriptor));
    device->idsListed = (model & 0x08) == 0;
    device->setFeatureFailures = (model & 0x10) != 0 ? 1 : 0;
    device->getFeatureFailures = (model & 0x20) != 0 ? 1 : 0;
    device->readError = (model & 0x40) != 0 ? EIO : 0;
    if (!report.empty())
        device->inputReports.push_back(std::move(report));
    device->answerFeature = [&answer](const std::vector<uint8_t>&) { return answer; };

    ReaderConnection reader(host, clock);
    check(OpenReader(reader));
    if (!reader.IsOpen())
        return 0;
    check(reader.pPreparsedData != nullptr && IsAcceptedProduct(reader.Attributes.ProductID));
    check(reader.Caps.InputReportByteLength <= kInputReportCapacity &&
          reader.Caps.FeatureReportByteLength <= kFeatureReportCapacity);

    ReadOneSwipe(reader);
    SendOneCommand(reader, std::string(command.begin(), command.end()), autoAddLength);
    return 0;
}
