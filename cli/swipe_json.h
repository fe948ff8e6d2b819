// A decoded swipe as one line of JSON, for other tools to read. Its keys
// are fixed: time (when it was read, utc_time.h), path, vendor_id, product_id, encode_type, direction (only for
// the models that report it), tracks (three objects of "ok" and "data"),
// and for the model that reports them seal_status, seal_data,
// serial_number and sequence_counter.
#pragma once

#include <cstdint>
#include <string>

#include "carddata/card_data.h"

namespace corvalt {

// Byte data is written as the Latin-1 characters of its bytes, so that any
// byte comes back as the code point of one character (a zero byte as
// \u0000); the line is ASCII.
std::string SwipeJson(const CardData& card, const std::string& time, const std::string& path, uint16_t vendorId,
                      uint16_t productId);

}  // namespace corvalt
