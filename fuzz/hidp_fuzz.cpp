// Feeds hostile report descriptors, and reports laid out by them, to the
// parser. Input layout: a 2-byte little-endian length N, N descriptor bytes,
// then the bytes the reports are built from (the seeds in corpus/hidp follow
// it). Beyond the sanitizers' checks it traps when a value comes back wider
// than its field or a getter reports success where it must not.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "carddata/card_usages.h"
#include "platform/hidp.h"

namespace {

using corvalt::fuzz::check;

struct Input {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;

    uint8_t byte() { return pos < size ? data[pos++] : 0; }
    uint16_t word() { return uint16_t(byte() | byte() << 8); }
};

uint16_t reportLength(const HIDP_CAPS& caps, HIDP_REPORT_TYPE type)
{
    switch (type) {
    case HidP_Input: return caps.InputReportByteLength;
    case HidP_Output: return caps.OutputReportByteLength;
    default: return caps.FeatureReportByteLength;
    }
}

void exerciseCap(HIDP_REPORT_TYPE type, const HIDP_VALUE_CAPS& cap, PHIDP_PREPARSED_DATA data,
                 std::vector<uint8_t>& report, uint8_t idByte)
{
    const uint32_t length = uint32_t(report.size());
    // The width checks below hold only when no other cap holds the usage:
    // with duplicates the getters rightly answer from the first one.
    auto soleHolder = [&](uint16_t usage) {
        HIDP_VALUE_CAPS others[2];
        uint16_t matching = 2;
        HidP_GetSpecificValueCaps(type, cap.UsagePage, cap.LinkCollection, usage, others, &matching, data);
        return matching == 1;
    };
    for (uint8_t id : {cap.ReportID, idByte}) {
        report[0] = id;
        for (uint16_t usage : {cap.UsageMin, cap.UsageMax}) {
            uint32_t value = 0;
            NTSTATUS s =
                HidP_GetUsageValue(type, cap.UsagePage, cap.LinkCollection, usage, &value, data, report.data(), length);
            if (s == HIDP_STATUS_SUCCESS && cap.BitSize < 32 && soleHolder(usage))
                check(value >> cap.BitSize == 0);
            // A length one short of the caps length is always refused.
            check(HidP_GetUsageValue(type, cap.UsagePage, cap.LinkCollection, usage, &value, data, report.data(),
                                     length - 1) == HIDP_STATUS_INVALID_REPORT_LENGTH);
        }
        // Exactly the room the elements need, then one byte less; both heap
        // buffers so that ASan sees any write past the end. The short buffer
        // must be refused.
        size_t need = (size_t(cap.BitSize) * cap.ReportCount + 7) / 8;
        for (size_t room : {need, need > 0 ? need - 1 : 0}) {
            if (room > 0xFFFF)
                continue;
            std::vector<uint8_t> out(room);
            uint8_t dummy = 0;
            NTSTATUS s =
                HidP_GetUsageValueArray(type, cap.UsagePage, cap.LinkCollection, cap.UsageMin,
                                        room ? out.data() : &dummy, uint16_t(room), data, report.data(), length);
            if (room < need && soleHolder(cap.UsageMin))
                check(s != HIDP_STATUS_SUCCESS);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    Input in{bytes, size};
    size_t descriptorLength = in.word();
    if (descriptorLength > size - in.pos)
        descriptorLength = size - in.pos;
    const uint8_t* descriptor = bytes + in.pos;
    in.pos += descriptorLength;

    PHIDP_PREPARSED_DATA data = HidP_ParseReportDescriptor(descriptor, descriptorLength);
    if (data == nullptr)
        return 0;

    HIDP_CAPS caps{};
    check(HidP_GetCaps(data, &caps) == HIDP_STATUS_SUCCESS);

    // The rest of the input fills the reports and names one extra usage to
    // look up next to usages real devices carry.
    const uint16_t extraPage = in.word(), extraUsage = in.word();
    const uint8_t idByte = in.byte();
    const struct {
        uint16_t page, usage;
    } queries[] = {
        {corvalt::kCardDataPage, corvalt::kTrackDecodeStatusUsages[0]},
        {corvalt::kCardDataPage, corvalt::kTrackDataUsages[0]},
        {corvalt::kCardDataPage, corvalt::kSequenceCounterUsage},
        {0x01, 0x30},
        {0x01, 0x38},
        {0x0C, 0x238},
        {extraPage, extraUsage},
    };

    for (HIDP_REPORT_TYPE type : {HidP_Input, HidP_Output, HidP_Feature}) {
        uint16_t length = reportLength(caps, type);
        if (length == 0)
            continue;
        std::vector<uint8_t> report(length);
        for (size_t i = 0; i < length && in.pos + i < size; ++i)
            report[i] = bytes[in.pos + i];

        for (const auto& q : queries) {
            HIDP_VALUE_CAPS found[8];
            uint16_t n = 8;
            NTSTATUS s = HidP_GetSpecificValueCaps(type, q.page, 0, q.usage, found, &n, data);
            if (s != HIDP_STATUS_SUCCESS && s != HIDP_STATUS_BUFFER_TOO_SMALL)
                continue;
            for (uint16_t i = 0; i < n && i < 8; ++i) {
                check(found[i].UsageMin <= found[i].UsageMax);
                exerciseCap(type, found[i], data, report, idByte);
            }
        }
    }
    HidD_FreePreparsedData(data);
    return 0;
}
