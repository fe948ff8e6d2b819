// Our parser of USB HID report descriptors (HID 1.11, 6.2.2).
//
// It answers the queries the reader code makes, under the names and with
// the semantics of the HID parser library the program was first written
// against, so the calls read the same. Report buffers always begin with the
// report ID byte (0 when the device declares no report IDs); data starts at
// bit 8. The descriptor is untrusted device data: anything malformed is
// refused with nullptr, never read past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

using NTSTATUS = uint32_t;

constexpr NTSTATUS HIDP_STATUS_SUCCESS = 0x00110000;
constexpr NTSTATUS HIDP_STATUS_NULL = 0x80110001;
constexpr NTSTATUS HIDP_STATUS_INVALID_PREPARSED_DATA = 0xC0110001;
constexpr NTSTATUS HIDP_STATUS_INVALID_REPORT_TYPE = 0xC0110002;
constexpr NTSTATUS HIDP_STATUS_INVALID_REPORT_LENGTH = 0xC0110003;
constexpr NTSTATUS HIDP_STATUS_USAGE_NOT_FOUND = 0xC0110004;
constexpr NTSTATUS HIDP_STATUS_VALUE_OUT_OF_RANGE = 0xC0110005;
constexpr NTSTATUS HIDP_STATUS_BAD_LOG_PHY_VALUES = 0xC0110006;
constexpr NTSTATUS HIDP_STATUS_BUFFER_TOO_SMALL = 0xC0110007;
constexpr NTSTATUS HIDP_STATUS_INCOMPATIBLE_REPORT_ID = 0xC011000A;
constexpr NTSTATUS HIDP_STATUS_NOT_VALUE_ARRAY = 0xC011000B;
constexpr NTSTATUS HIDP_STATUS_REPORT_DOES_NOT_EXIST = 0xC0110010;
constexpr NTSTATUS HIDP_STATUS_NOT_IMPLEMENTED = 0xC0110020;

enum HIDP_REPORT_TYPE { HidP_Input = 0, HidP_Output = 1, HidP_Feature = 2 };

struct HIDP_PREPARSED_DATA;  // opaque, owns the parsed descriptor
using PHIDP_PREPARSED_DATA = HIDP_PREPARSED_DATA*;

struct HIDP_CAPS {
    uint16_t Usage, UsagePage, InputReportByteLength, OutputReportByteLength, FeatureReportByteLength,
        NumberInputValueCaps, NumberOutputValueCaps, NumberFeatureValueCaps;
};

// One value control: a Variable main item's usage (or usage range) whose
// fields are not 1-bit buttons (Report Size 1, Logical 0..1). When an item
// names fewer usages than its Report Count, each usage gets one field (a range
// one per usage it names) and the last usage takes all remaining fields.
struct HIDP_VALUE_CAPS {
    uint16_t UsagePage;
    uint8_t ReportID;
    bool IsRange;
    uint16_t LinkCollection;  // the collection holding the item: collections are numbered 0, 1, ... in descriptor order
    uint16_t BitSize;
    uint16_t ReportCount;
    int32_t LogicalMin, LogicalMax;
    uint16_t UsageMin, UsageMax;  // UsageMin == UsageMax == the usage when !IsRange
};

// Refused as malformed: a truncated item, Pop without Push, Push nested over
// 16 deep, unbalanced or missing collections, a main item outside any
// collection, Report ID 0 or over 255, reports both with and without ids,
// one main item over 65536 bits, a report over 0xFFFF bytes, more than 1024
// usages for one main item, more than 4096 collections or value caps.
PHIDP_PREPARSED_DATA HidP_ParseReportDescriptor(const uint8_t* descriptor, size_t length);  // nullptr if malformed
// The same parse; on nullptr, *whyRefused (when given) says why in a few
// words, naming the item at fault: "report descriptor item 7: main item
// outside any collection".
PHIDP_PREPARSED_DATA HidP_ParseReportDescriptor(const uint8_t* descriptor, size_t length, std::string* whyRefused);
// Frees a parsed descriptor once; nullptr is fine. Freeing the same one
// twice is a use after free.
void HidD_FreePreparsedData(PHIDP_PREPARSED_DATA data);
NTSTATUS HidP_GetCaps(PHIDP_PREPARSED_DATA data, HIDP_CAPS* caps);
// In: *valueCapsLength = room in valueCaps. Out: the number of matching caps
// (BUFFER_TOO_SMALL when over the room, the first ones written; 0 and
// USAGE_NOT_FOUND when none match). Matching as for the getters below.
NTSTATUS HidP_GetSpecificValueCaps(HIDP_REPORT_TYPE type, uint16_t usagePage, uint16_t linkCollection, uint16_t usage,
                                   HIDP_VALUE_CAPS* valueCaps, uint16_t* valueCapsLength, PHIDP_PREPARSED_DATA data);
// The getters below take the report with its id byte in front and exactly
// the caps length of its type. A linkCollection of 0 matches any collection;
// the usage page and usage must match (a range cap matches every usage it
// covers). The value is the field's raw bits, zero-extended (the low 32 bits
// of a wider field; the first element when the cap has several). The array
// getter copies all of a non-range cap's elements packed from bit 0 of
// usageValue. On failure the output is left untouched.
NTSTATUS HidP_GetUsageValue(HIDP_REPORT_TYPE type, uint16_t usagePage, uint16_t linkCollection, uint16_t usage,
                            uint32_t* usageValue, PHIDP_PREPARSED_DATA data, const uint8_t* report,
                            uint32_t reportLength);
NTSTATUS HidP_GetUsageValueArray(HIDP_REPORT_TYPE type, uint16_t usagePage, uint16_t linkCollection, uint16_t usage,
                                 uint8_t* usageValue, uint16_t usageValueByteLength, PHIDP_PREPARSED_DATA data,
                                 const uint8_t* report, uint32_t reportLength);

namespace corvalt {

// Owns one parsed descriptor and frees it when it goes, so that no path can
// leak it or free it twice.
struct PreparsedDataFree {
    void operator()(PHIDP_PREPARSED_DATA data) const { HidD_FreePreparsedData(data); }
};
using UniquePreparsedData = std::unique_ptr<HIDP_PREPARSED_DATA, PreparsedDataFree>;

// True when a well-formed descriptor declares report IDs, so that every
// report on the wire begins with its id byte. The hidraw host needs this to
// lay input reports out with the id byte in front in either case.
bool HidDescriptorUsesReportIds(PHIDP_PREPARSED_DATA data);

}  // namespace corvalt
