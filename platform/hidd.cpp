#include "platform/hidd.h"

#include <cerrno>
#include <vector>

bool HidD_GetAttributes(corvalt::HidDevice& device, HIDD_ATTRIBUTES* attributes)
{
    if (attributes == nullptr)
        return false;
    corvalt::HidAttributes ids;
    if (!device.GetAttributes(ids))
        return false;
    attributes->VendorID = ids.vendorId;
    attributes->ProductID = ids.productId;
    attributes->VersionNumber = ids.versionNumber;
    return true;
}

bool HidD_GetPreparsedData(corvalt::HidDevice& device, PHIDP_PREPARSED_DATA* data)
{
    return HidD_GetPreparsedData(device, data, nullptr);
}

bool HidD_GetPreparsedData(corvalt::HidDevice& device, PHIDP_PREPARSED_DATA* data, std::string* whyRefused)
{
    if (data == nullptr)
        return false;
    PHIDP_PREPARSED_DATA parsed = device.ParseReportDescriptor(whyRefused);
    if (parsed == nullptr)
        return false;
    *data = parsed;
    return true;
}

namespace corvalt {

PHIDP_PREPARSED_DATA HidDevice::ParseReportDescriptor(std::string* whyRefused)
{
    std::vector<uint8_t> descriptor;
    if (!GetReportDescriptor(descriptor)) {
        // Too long to be read is the descriptor's fault, not the device's.
        if (LastError().code == EMSGSIZE && whyRefused != nullptr)
            *whyRefused = LastError().message;
        return nullptr;
    }
    return HidP_ParseReportDescriptor(descriptor.data(), descriptor.size(), whyRefused);
}

}  // namespace corvalt
