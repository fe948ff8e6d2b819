#include "cli/interface_ids.h"

#include <cstdio>

#include "reader/reader_models.h"

namespace corvalt {

std::optional<HidAttributes> InterfaceIds(HidHost& host, const HidInterfaceInfo& info)
{
    if (info.idsKnown)
        return HidAttributes{info.vendorId, info.productId, 0};
    const std::unique_ptr<HidDevice> device = host.Open(info.path, HidAccess::QueryOnly);
    HidAttributes attributes;
    if (!device || !device->GetAttributes(attributes))
        return std::nullopt;
    return attributes;
}

bool IsSupportedReader(const std::optional<HidAttributes>& ids)
{
    return ids && IsAcceptedVendor(ids->vendorId) && IsAcceptedProduct(ids->productId);
}

std::string IdsText(uint16_t vendorId, uint16_t productId)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04x:%04x", static_cast<unsigned>(vendorId), static_cast<unsigned>(productId));
    return text;
}

std::vector<std::string> SupportedReaderPaths(HidHost& host)
{
    std::vector<HidInterfaceInfo> interfaces;
    std::vector<std::string> paths;
    if (!host.ListInterfaces(interfaces))
        return paths;
    for (const HidInterfaceInfo& info : interfaces) {
        if (IsSupportedReader(InterfaceIds(host, info)))
            paths.push_back(info.path);
    }
    return paths;
}

}  // namespace corvalt
