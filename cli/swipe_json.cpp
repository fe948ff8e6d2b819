#include "cli/swipe_json.h"

#include <nlohmann/json.hpp>

#include "carddata/card_text.h"
#include "cli/shell_text.h"
#include "reader/reader_models.h"
#include "text/hex_byte.h"

namespace corvalt {

namespace {

nlohmann::ordered_json Track(uint32_t decodeStatus, const std::string& text)
{
    const bool ok = (decodeStatus & 1u) == 0;
    return {{"ok", ok}, {"data", ok ? Latin1ToUtf8(text) : std::string()}};
}

}  // namespace

std::string SwipeJson(const CardData& card, const std::string& time, const std::string& path, uint16_t vendorId,
                      uint16_t productId)
{
    nlohmann::ordered_json swipe;
    swipe["time"] = time;
    swipe["path"] = path;
    swipe["vendor_id"] = vendorId;
    swipe["product_id"] = productId;
    swipe["encode_type"] = EncodeTypeName(static_cast<uint8_t>(card.CrdEcdTyp & 0xFF));
    if (ReportsCardStatus(productId))
        swipe["direction"] = std::string(SwipeDirectionName(card.CardSts));
    swipe["tracks"] = {Track(card.Tk1DcdSts, card.Track1Text), Track(card.Tk2DcdSts, card.Track2Text),
                       Track(card.Tk3DcdSts, card.Track3Text)};
    if (ReportsSealFields(productId)) {
        std::string sealHex;
        for (const char byte : card.StripesealText)
            sealHex += HexByte(static_cast<uint8_t>(byte));
        swipe["seal_status"] = card.StripesealSts;
        swipe["seal_data"] = sealHex;
        swipe["serial_number"] = Latin1ToUtf8(card.SerialNumberText);
        swipe["sequence_counter"] = card.SequenceCounter;
    }
    // ASCII only: every character beyond it as a \u escape.
    return swipe.dump(-1, ' ', true);
}

}  // namespace corvalt
