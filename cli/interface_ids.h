// The ids of the interfaces a host lists, and which of them are readers this
// program drives.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/hid_host.h"

namespace corvalt {

// The vendor and product id of a listed interface: from the list when it
// tells them, otherwise from the device opened for queries; none when
// neither can tell.
std::optional<HidAttributes> InterfaceIds(HidHost& host, const HidInterfaceInfo& info);

// Whether the ids are known and are those of a reader this program drives.
bool IsSupportedReader(const std::optional<HidAttributes>& ids);

// As "0801:0002": four hex digits each, lower case as lsusb writes them.
std::string IdsText(uint16_t vendorId, uint16_t productId);

// The paths of the supported readers the host lists, in its order.
std::vector<std::string> SupportedReaderPaths(HidHost& host);

}  // namespace corvalt
