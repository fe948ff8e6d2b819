// Every vendor and product pair the program drives, from its own tables:
// what the udev rule and the AppStream metadata must name, no more.
#pragma once

#include <cstdint>
#include <set>
#include <utility>

#include "reader/reader_models.h"

namespace corvalt {

using ReaderIds = std::set<std::pair<uint16_t, uint16_t>>;  // vendor, product

inline ReaderIds AcceptedReaders()
{
    ReaderIds accepted;
    for (uint32_t vendor = 0; vendor <= 0xFFFF; ++vendor)
        for (uint32_t product = 0; IsAcceptedVendor(static_cast<uint16_t>(vendor)) && product <= 0xFFFF; ++product)
            if (IsAcceptedProduct(static_cast<uint16_t>(product)))
                accepted.emplace(vendor, product);
    return accepted;
}

}  // namespace corvalt
