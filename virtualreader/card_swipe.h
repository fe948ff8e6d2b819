// One pass of a card through the virtual reader: what is on the stripe and
// how the card went through.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace corvalt {

enum class SwipeDirection { Withdrawal, Insert };

struct CardSwipe {
    // Each track as it is on the stripe, start and end sentinel included.
    std::array<std::string, 3> tracks;
    // The reader cannot decode this track (a damaged or badly written stripe).
    std::array<bool, 3> unreadable{};
    uint8_t encodeType = 0;  // 0 ISO, 1 AAMVA, ...
    SwipeDirection direction = SwipeDirection::Withdrawal;
};

}  // namespace corvalt
