#include "platform/windows_hid_calls.h"

// windows.h first: the HID headers need its types. MinGW-w64's HID
// headers declare C functions without saying so to C++.
#include <windows.h>
extern "C" {
#include <hidsdi.h>
}

#include <vector>

namespace corvalt::windows_hid {
namespace {

HIDP_REPORT_TYPE ReportType(int type)
{
    return static_cast<HIDP_REPORT_TYPE>(type);
}

// The system's parse, freed with it.
class HidParse final : public SystemParse {
public:
    explicit HidParse(PHIDP_PREPARSED_DATA data) : m_data(data) {}
    HidParse(const HidParse&) = delete;
    HidParse& operator=(const HidParse&) = delete;
    ~HidParse() override { HidD_FreePreparsedData(m_data); }

    uint32_t GetCaps(SystemCaps& caps) override
    {
        HIDP_CAPS c{};
        const NTSTATUS status = HidP_GetCaps(m_data, &c);
        caps = {c.Usage,
                c.UsagePage,
                c.InputReportByteLength,
                c.OutputReportByteLength,
                c.FeatureReportByteLength,
                c.NumberInputValueCaps,
                c.NumberOutputValueCaps,
                c.NumberFeatureValueCaps};
        return static_cast<uint32_t>(status);
    }

    uint32_t GetSpecificValueCaps(int type, uint16_t usagePage, uint16_t linkCollection, uint16_t usage,
                                  SystemValueCaps* valueCaps, uint16_t* valueCapsLength) override
    {
        const uint16_t room = *valueCapsLength;
        std::vector<HIDP_VALUE_CAPS> found(room);
        USHORT length = room;
        const NTSTATUS status = HidP_GetSpecificValueCaps(ReportType(type), usagePage, linkCollection, usage,
                                                          found.data(), &length, m_data);
        *valueCapsLength = length;
        for (uint16_t i = 0; i < room && i < length; ++i) {
            const HIDP_VALUE_CAPS& c = found[i];
            valueCaps[i] = {c.UsagePage,
                            c.ReportID,
                            c.IsRange != 0,
                            c.LinkCollection,
                            c.BitSize,
                            c.ReportCount,
                            static_cast<int32_t>(c.LogicalMin),
                            static_cast<int32_t>(c.LogicalMax),
                            c.IsRange ? c.Range.UsageMin : c.NotRange.Usage,
                            c.IsRange ? c.Range.UsageMax : c.NotRange.Usage};
        }
        return static_cast<uint32_t>(status);
    }

    uint32_t GetUsageValue(int type, uint16_t usagePage, uint16_t linkCollection, uint16_t usage, uint32_t* usageValue,
                           const uint8_t* report, uint32_t reportLength) override
    {
        ULONG value = 0;
        // The system only reads the report; its declaration takes it writable.
        const NTSTATUS status = HidP_GetUsageValue(ReportType(type), usagePage, linkCollection, usage, &value, m_data,
                                                   reinterpret_cast<PCHAR>(const_cast<uint8_t*>(report)), reportLength);
        if (status == HIDP_STATUS_SUCCESS && usageValue != nullptr)
            *usageValue = value;
        return static_cast<uint32_t>(status);
    }

    uint32_t GetUsageValueArray(int type, uint16_t usagePage, uint16_t linkCollection, uint16_t usage,
                                uint8_t* usageValue, uint16_t usageValueByteLength, const uint8_t* report,
                                uint32_t reportLength) override
    {
        return static_cast<uint32_t>(HidP_GetUsageValueArray(
            ReportType(type), usagePage, linkCollection, usage, reinterpret_cast<PCHAR>(usageValue),
            usageValueByteLength, m_data, reinterpret_cast<PCHAR>(const_cast<uint8_t*>(report)), reportLength));
    }

private:
    PHIDP_PREPARSED_DATA m_data;
};

}  // namespace

void GetInterfaceClass(void* guid)
{
    HidD_GetHidGuid(static_cast<GUID*>(guid));
}

bool GetAttributes(Handle device, HidAttributes& attributes)
{
    HIDD_ATTRIBUTES ids{};
    ids.Size = sizeof ids;
    if (!HidD_GetAttributes(device, &ids))
        return false;
    attributes.vendorId = ids.VendorID;
    attributes.productId = ids.ProductID;
    attributes.versionNumber = ids.VersionNumber;
    return true;
}

bool SetFeature(Handle device, const uint8_t* report, size_t length)
{
    // The system may write into the buffer it is given: it gets a copy.
    std::vector<uint8_t> copy(report, report + length);
    return HidD_SetFeature(device, copy.data(), static_cast<ULONG>(length)) != FALSE;
}

bool GetFeature(Handle device, uint8_t* report, size_t length)
{
    return HidD_GetFeature(device, report, static_cast<ULONG>(length)) != FALSE;
}

std::unique_ptr<SystemParse> GetSystemParse(Handle device)
{
    PHIDP_PREPARSED_DATA data = nullptr;
    if (!HidD_GetPreparsedData(device, &data))
        return nullptr;
    return std::make_unique<HidParse>(data);
}

}  // namespace corvalt::windows_hid
