// A swipe as the operator describes it, in text: the one builder behind the
// Virtual Reader window's "Swipe" and corvalt-cli's swipes from standard
// input.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "virtualreader/card_swipe.h"

namespace corvalt {

struct SwipeText {
    std::array<std::string, 3> tracks;  // UTF-8, as typed
    std::array<bool, 3> unreadable{};
    uint8_t encodeType = 0;
    SwipeDirection direction = SwipeDirection::Withdrawal;
};

// The stripe holds bytes: each character of a track becomes its Latin-1
// byte, and one beyond Latin-1 (or a byte that is not UTF-8) becomes '?'.
CardSwipe BuildCardSwipe(const SwipeText& text);

}  // namespace corvalt
