// The text the operator sees for a decoded swipe: the encode type (and the
// swipe direction where the model reports it), the three tracks and, for
// the model that has them, the Stripeseal, serial number and counter lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "carddata/card_data.h"

namespace corvalt {

// The name of a card encode type code; empty for codes without one.
std::string EncodeTypeName(uint8_t code);

// The swipe direction a card status tells, for the models that report it:
// "Insert" when bit 0 is set, "Withdrawal" when it is clear.
std::string_view SwipeDirectionName(uint32_t cardStatus);

// How the bytes of the card and the reader (the tracks, the Stripeseal data,
// the serial number) are shown in the card text.
using ShowBytes = std::string (*)(std::string_view bytes);

// The whole block for one swipe of a reader with the given product id:
// lines separated by CR LF, no CR LF after the last one. The track and
// Stripeseal texts are copied as raw bytes, or as `show` makes them.
std::string FormatCardText(const CardData& card, uint16_t productId, ShowBytes show = nullptr);

}  // namespace corvalt
