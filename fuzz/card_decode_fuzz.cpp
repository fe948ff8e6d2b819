// Decodes arbitrary input reports through a fixed reader-like descriptor and
// writes the result as the window would. Input layout: one byte picks the
// reader model (its row in reader/reader_models.h), the rest is the report
// as the host hands it over, id byte first; a report shorter than the
// descriptor declares is zero-filled, as the host does. Beyond the sanitizers' checks it traps when
// a text comes out longer than the record's field it was taken from, or a
// decode reports success with an error text (or failure without one).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>

#include "fuzz/fuzz_check.h"
#include "carddata/card_decoder.h"
#include "carddata/card_text.h"
#include "fuzz/detached_reader.h"
#include "reader/reader_models.h"

namespace {

using corvalt::fuzz::check;

using namespace corvalt;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static DetachedReader reader;
    check(reader.parsed);
    ReaderConnection& c = reader.connection;
    if (size == 0)
        return 0;

    c.Attributes.ProductID = kReaderModels[bytes[0] % std::size(kReaderModels)].productId;
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
