// A report descriptor parsed by the operating system rather than by our
// parser: Windows hands a program no descriptor, only the system's parse of
// it, which its own HidP_* functions query. The queries of hidp.h answer
// from such a parse when the data holds one.
//
// The types here are our own: the system's headers declare the same names
// as hidp.h, so its HidP_* calls live in a file that includes neither this
// project's hidp.h nor anything that does.
#pragma once

#include <cstdint>
#include <memory>

struct HIDP_PREPARSED_DATA;

namespace corvalt {

// The fields of HIDP_CAPS and HIDP_VALUE_CAPS (hidp.h) that a system parse
// fills, in the same order.
struct SystemCaps {
    uint16_t usage, usagePage, inputReportByteLength, outputReportByteLength, featureReportByteLength,
        numberInputValueCaps, numberOutputValueCaps, numberFeatureValueCaps;
};

struct SystemValueCaps {
    uint16_t usagePage;
    uint8_t reportId;
    bool isRange;
    uint16_t linkCollection;
    uint16_t bitSize;
    uint16_t reportCount;
    int32_t logicalMin, logicalMax;
    uint16_t usageMin, usageMax;
};

// The queries, with hidp.h's report types (0 input, 1 output, 2 feature)
// and status codes, which are the system's own numbers.
class SystemParse {
public:
    virtual ~SystemParse() = default;
    virtual uint32_t GetCaps(SystemCaps& caps) = 0;
    virtual uint32_t GetSpecificValueCaps(int type, uint16_t usagePage, uint16_t linkCollection, uint16_t usage,
                                          SystemValueCaps* valueCaps, uint16_t* valueCapsLength) = 0;
    virtual uint32_t GetUsageValue(int type, uint16_t usagePage, uint16_t linkCollection, uint16_t usage,
                                   uint32_t* usageValue, const uint8_t* report, uint32_t reportLength) = 0;
    virtual uint32_t GetUsageValueArray(int type, uint16_t usagePage, uint16_t linkCollection, uint16_t usage,
                                        uint8_t* usageValue, uint16_t usageValueByteLength, const uint8_t* report,
                                        uint32_t reportLength) = 0;
};

// Parsed data that answers hidp.h's queries from the system's parse; freed
// with HidD_FreePreparsedData like our own.
HIDP_PREPARSED_DATA* AdoptSystemParse(std::unique_ptr<SystemParse> parse);

}  // namespace corvalt
