// The cards the virtual reader's window offers to swipe. Every number on
// them is made up or a well-known test number, never a real account.
#pragma once

#include <string>
#include <vector>

#include "virtualreader/card_swipe.h"

namespace corvalt {

struct SampleCard {
    std::string name;
    CardSwipe swipe;
};

const std::vector<SampleCard>& SampleCards();

}  // namespace corvalt
