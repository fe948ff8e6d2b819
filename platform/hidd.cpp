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
    std::vector<uint8_t> descriptor;
    if (!device.GetReportDescriptor(descriptor)) {
        if (device.LastError().code == EMSGSIZE && whyRefused != nullptr)
            *whyRefused = device.LastError().message;
        return false;
    }
    PHIDP_PREPARSED_DATA parsed = HidP_ParseReportDescriptor(descriptor.data(), descriptor.size(), whyRefused);
    if (parsed == nullptr)
        return false;
    *data = parsed;
    return true;
}
