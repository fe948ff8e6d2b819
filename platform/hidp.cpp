// Our parser of USB HID report descriptors, and the value queries the reader
// code makes on top of it. See hidp.h for the calling conventions.
//
// The descriptor comes from the device, so it is treated as hostile: every
// item is bounds-checked before it is read, every size is checked before it
// is used, and every table the parse grows has a fixed ceiling. Anything out
// of line makes the whole descriptor malformed (nullptr), so the queries only
// ever see a consistent layout whose fields all lie inside their report.
#include "platform/hidp.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/system_parse.h"

namespace {

// Ceilings that no real device comes near but that bound what a hostile
// descriptor can make us allocate or compute.
constexpr size_t kMaxPushDepth = 16;          // nested Push items
constexpr size_t kMaxLocalUsages = 1024;      // Usage / range items before one main item
constexpr size_t kMaxValueCaps = 4096;        // value caps over all three report types
constexpr uint32_t kMaxCollections = 4096;    // Collection items, also keeps LinkCollection in 16 bits
constexpr uint64_t kMaxItemBits = 65536;      // ReportSize x ReportCount of one main item
constexpr uint32_t kMaxFieldParam = 0xFFFF;   // ReportSize and ReportCount must fit the 16-bit cap fields
constexpr uint32_t kMaxReportBytes = 0xFFFF;  // one report, id byte included

constexpr uint32_t kMagic = 0x48494450;  // "HIDP": tells our objects from stray pointers

// Item types and tags, as they sit in the prefix byte.
enum ItemType : uint8_t { kMain = 0, kGlobal = 1, kLocal = 2, kReserved = 3 };

enum MainTag : uint8_t {
    kInput = 0x8,
    kOutput = 0x9,
    kCollection = 0xA,
    kFeature = 0xB,
    kEndCollection = 0xC,
};

enum GlobalTag : uint8_t {
    kUsagePage = 0x0,
    kLogicalMin = 0x1,
    kLogicalMax = 0x2,
    kReportSize = 0x7,
    kReportId = 0x8,
    kReportCount = 0x9,
    kPush = 0xA,
    kPop = 0xB,
};

enum LocalTag : uint8_t {
    kUsage = 0x0,
    kUsageMin = 0x1,
    kUsageMax = 0x2,
    kDelimiter = 0xA,
};

constexpr uint8_t kLongItemPrefix = 0xFE;
constexpr uint32_t kMainVariable = 0x02;

// A value cap plus where its first element sits in the report buffer
// (counted from bit 0 of the id byte).
struct ValueCap {
    HIDP_VALUE_CAPS pub;
    uint32_t bitOffset;
};

}  // namespace

// Either our parse of a descriptor, or the system's parse (`system`), to
// which every query is handed on.
struct HIDP_PREPARSED_DATA {
    uint32_t magic = kMagic;
    HIDP_CAPS caps{};
    bool usesReportIds = false;
    std::array<std::vector<ValueCap>, 3> valueCaps;
    std::unique_ptr<corvalt::SystemParse> system;
};

namespace {

// The global state that Push / Pop save and restore.
struct Globals {
    uint16_t usagePage = 0;
    int32_t logicalMin = 0;
    int32_t logicalMax = 0;
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint8_t reportId = 0;
};

// One Usage, or one Usage Minimum / Maximum pair, waiting for its main item.
// Short usages take their page from the Usage Page in effect at the main
// item; a 4-byte (extended) usage carries its own page in the high half.
struct LocalUsage {
    bool isRange = false;
    bool extended = false;
    uint32_t min = 0;  // the usage itself when !isRange; full 32-bit value when extended
    uint32_t max = 0;
};

struct Locals {
    std::vector<LocalUsage> usages;
    bool haveMin = false, haveMax = false;
    uint8_t minSize = 0, maxSize = 0;
    uint32_t min = 0, max = 0;
    bool inDelimiter = false;
    bool delimiterTookUsage = false;  // the first usage of a delimited set is the one we keep

    void clear() { *this = Locals{}; }
};

struct Parser {
    Globals globals;
    std::vector<Globals> stack;
    Locals locals;

    std::vector<uint16_t> openCollections;  // node index of each open collection, innermost last
    uint32_t collectionCount = 0;
    bool haveTopLevel = false;

    // Data bits declared so far, per report type and report id.
    std::array<std::array<uint32_t, 256>, 3> reportBits{};
    std::array<std::array<bool, 256>, 3> reportSeen{};
    bool sawMainWithoutId = false;
    size_t capCount = 0;

    HIDP_PREPARSED_DATA* out = nullptr;
    std::string fault;  // why the descriptor was refused

    // Records why the descriptor is refused; false, so that a failing check
    // can end with it.
    bool refuse(std::string why)
    {
        fault = std::move(why);
        return false;
    }

    static uint32_t unsignedData(const uint8_t* d, uint8_t size)
    {
        uint32_t v = 0;
        for (uint8_t i = 0; i < size; ++i)
            v |= uint32_t(d[i]) << (8 * i);
        return v;
    }

    static int32_t signedData(const uint8_t* d, uint8_t size)
    {
        uint32_t v = unsignedData(d, size);
        switch (size) {
        case 1: return int8_t(uint8_t(v));
        case 2: return int16_t(uint16_t(v));
        case 4: return int32_t(v);
        default: return 0;
        }
    }

    bool global(uint8_t tag, const uint8_t* d, uint8_t size)
    {
        uint32_t u = unsignedData(d, size);
        switch (tag) {
        case kUsagePage:
            if (u > 0xFFFF)
                return refuse("usage page over 16 bits");
            globals.usagePage = uint16_t(u);
            return true;
        case kLogicalMin: globals.logicalMin = signedData(d, size); return true;
        case kLogicalMax: globals.logicalMax = signedData(d, size); return true;
        case kReportSize: globals.reportSize = u; return true;
        case kReportCount: globals.reportCount = u; return true;
        case kReportId:
            // Ids are one byte on the wire and 0 means "no ids".
            if (u == 0 || u > 0xFF)
                return refuse("report id " + std::to_string(u) + ", not 1 to 255");
            globals.reportId = uint8_t(u);
            out->usesReportIds = true;
            return true;
        case kPush:
            if (stack.size() >= kMaxPushDepth)
                return refuse("push nested over 16 deep");
            stack.push_back(globals);
            return true;
        case kPop:
            if (stack.empty())
                return refuse("pop without a push");
            globals = stack.back();
            stack.pop_back();
            return true;
        default:
            // Physical range, units, exponent and reserved tags do not
            // change the layout or anything we report.
            return true;
        }
    }

    bool local(uint8_t tag, const uint8_t* d, uint8_t size)
    {
        uint32_t u = unsignedData(d, size);
        switch (tag) {
        case kUsage:
            if (locals.inDelimiter) {
                // Alternative usages for one control: keep the first.
                if (locals.delimiterTookUsage)
                    return true;
                locals.delimiterTookUsage = true;
            }
            if (locals.usages.size() >= kMaxLocalUsages)
                return refuse("over 1024 usages for one main item");
            locals.usages.push_back({false, size == 4, u, u});
            return true;
        case kUsageMin:
            locals.haveMin = true;
            locals.min = u;
            locals.minSize = size;
            return addRangeIfComplete();
        case kUsageMax:
            locals.haveMax = true;
            locals.max = u;
            locals.maxSize = size;
            return addRangeIfComplete();
        case kDelimiter:
            if (u == 1) {
                if (locals.inDelimiter)
                    return refuse("delimiter sets nested");
                locals.inDelimiter = true;
                locals.delimiterTookUsage = false;
                return true;
            }
            if (u == 0) {
                if (!locals.inDelimiter)
                    return refuse("delimiter closes no open set");
                locals.inDelimiter = false;
                return true;
            }
            return refuse("delimiter " + std::to_string(u) + ", not 0 or 1");
        default:
            // Designators and strings do not concern us.
            return true;
        }
    }

    // A Usage Minimum and Maximum form one range once both are present, in
    // either order.
    bool addRangeIfComplete()
    {
        if (!locals.haveMin || !locals.haveMax)
            return true;
        LocalUsage r;
        r.isRange = true;
        r.extended = locals.minSize == 4 || locals.maxSize == 4;
        r.min = locals.min;
        r.max = locals.max;
        if (r.extended) {
            // One page for the whole range: an extended bound lends its page
            // to a short one, and two extended bounds must agree.
            uint32_t page = (locals.minSize == 4 ? locals.min : locals.max) & 0xFFFF0000u;
            if (locals.minSize == 4 && locals.maxSize == 4 && (locals.min >> 16) != (locals.max >> 16))
                return refuse("usage range over two usage pages");
            r.min = page | (locals.min & 0xFFFF);
            r.max = page | (locals.max & 0xFFFF);
        } else if (r.min > 0xFFFF || r.max > 0xFFFF) {
            return refuse("usage range over 16 bits");
        }
        if ((r.min & 0xFFFF) > (r.max & 0xFFFF))
            return refuse("usage minimum above its maximum");
        locals.haveMin = locals.haveMax = false;
        if (locals.usages.size() >= kMaxLocalUsages)
            return refuse("over 1024 usages for one main item");
        locals.usages.push_back(r);
        return true;
    }

    // Splits a usage into page and id: extended ones carry their own page.
    void resolve(const LocalUsage& lu, uint16_t& page, uint16_t& min, uint16_t& max) const
    {
        page = lu.extended ? uint16_t(lu.min >> 16) : globals.usagePage;
        min = uint16_t(lu.min & 0xFFFF);
        max = uint16_t(lu.max & 0xFFFF);
    }

    bool collection()
    {
        if (collectionCount >= kMaxCollections)
            return refuse("over 4096 collections");
        uint16_t index = uint16_t(collectionCount++);
        if (openCollections.empty() && !haveTopLevel) {
            // The device's Usage / UsagePage are those of its first top-level
            // collection.
            haveTopLevel = true;
            uint16_t page = globals.usagePage, usage = 0;
            if (!locals.usages.empty()) {
                uint16_t max;
                resolve(locals.usages.front(), page, usage, max);
            }
            out->caps.UsagePage = page;
            out->caps.Usage = usage;
        }
        openCollections.push_back(index);
        return true;
    }

    bool endCollection()
    {
        if (openCollections.empty())
            return refuse("end of a collection never opened");
        openCollections.pop_back();
        return true;
    }

    bool field(HIDP_REPORT_TYPE type, uint32_t flags)
    {
        if (openCollections.empty())
            return refuse("main item outside any collection");
        if (globals.reportSize > kMaxFieldParam)
            return refuse("report size " + std::to_string(globals.reportSize) + ", at most 65535");
        if (globals.reportCount > kMaxFieldParam)
            return refuse("report count " + std::to_string(globals.reportCount) + ", at most 65535");
        uint64_t bits = uint64_t(globals.reportSize) * globals.reportCount;
        if (bits > kMaxItemBits)
            return refuse("main item of " + std::to_string(bits) + " bits, at most 65536");

        uint8_t id = globals.reportId;
        if (id == 0)
            sawMainWithoutId = true;
        uint32_t start = 8 + reportBits[type][id];
        uint64_t end = start + bits;
        // The report must still fit a 16-bit byte length, id byte included.
        if ((end + 7) / 8 > kMaxReportBytes)
            return refuse("report of " + std::to_string((end + 7) / 8) + " bytes, at most 65535");
        reportBits[type][id] = uint32_t(end - 8);
        reportSeen[type][id] = true;

        // Arrays carry no values. Constant fields are laid out and read like
        // data, so a constant Variable item with usages still gets caps.
        if (!(flags & kMainVariable) || bits == 0)
            return true;
        bool button = globals.reportSize == 1 && globals.logicalMin == 0 && globals.logicalMax == 1;
        if (button)
            return true;

        // Each usage takes its share of the fields in order (a range as many
        // as it names); the last one takes whatever remains, and usages
        // beyond the fields are left without a control.
        uint32_t left = globals.reportCount;
        uint32_t bit = start;
        for (size_t i = 0; i < locals.usages.size() && left > 0; ++i) {
            const LocalUsage& lu = locals.usages[i];
            uint16_t page, min, max;
            resolve(lu, page, min, max);
            uint32_t named = lu.isRange ? uint32_t(max - min) + 1 : 1;
            bool last = i + 1 == locals.usages.size();
            uint32_t count = last ? left : std::min(named, left);
            if (lu.isRange && count < named)
                max = uint16_t(min + count - 1);

            if (capCount >= kMaxValueCaps)
                return refuse("over 4096 value controls");
            ++capCount;
            ValueCap cap{};
            cap.pub.UsagePage = page;
            cap.pub.ReportID = id;
            cap.pub.IsRange = lu.isRange;
            cap.pub.LinkCollection = openCollections.back();
            cap.pub.BitSize = uint16_t(globals.reportSize);
            cap.pub.ReportCount = uint16_t(count);
            cap.pub.LogicalMin = globals.logicalMin;
            cap.pub.LogicalMax = globals.logicalMax;
            cap.pub.UsageMin = min;
            cap.pub.UsageMax = max;
            cap.bitOffset = bit;
            out->valueCaps[type].push_back(cap);

            bit += count * globals.reportSize;
            left -= count;
        }
        return true;
    }

    bool mainItem(uint8_t tag, const uint8_t* d, uint8_t size)
    {
        uint32_t flags = unsignedData(d, size);
        bool ok = true;
        switch (tag) {
        case kInput: ok = field(HidP_Input, flags); break;
        case kOutput: ok = field(HidP_Output, flags); break;
        case kFeature: ok = field(HidP_Feature, flags); break;
        case kCollection: ok = collection(); break;
        case kEndCollection: ok = endCollection(); break;
        default: break;  // unknown main tags (e.g. trailing zero bytes) declare nothing
        }
        if (!ok)
            return false;
        if (locals.inDelimiter)
            return refuse("delimiter set open at its main item");
        locals.clear();  // local items apply to one main item only
        return true;
    }

    // Refuses the descriptor, naming the item at fault (counted from 1).
    bool refuseItem(size_t item, const std::string& why)
    {
        return refuse("report descriptor item " + std::to_string(item) + ": " + why);
    }

    bool run(const uint8_t* p, size_t length)
    {
        size_t pos = 0;
        for (size_t item = 1; pos < length; ++item) {
            uint8_t prefix = p[pos];
            if (prefix == kLongItemPrefix) {
                // Long items: prefix, data size, tag, data. None are defined
                // for use, so they are skipped whole.
                if (length - pos < 3)
                    return refuseItem(item, "cut short");
                size_t dataSize = p[pos + 1];
                if (length - pos - 3 < dataSize)
                    return refuseItem(item, "cut short");
                pos += 3 + dataSize;
                continue;
            }
            static constexpr uint8_t kSizes[4] = {0, 1, 2, 4};
            uint8_t size = kSizes[prefix & 3];
            uint8_t type = (prefix >> 2) & 3;
            uint8_t tag = prefix >> 4;
            if (length - pos - 1 < size)
                return refuseItem(item, "cut short");
            const uint8_t* d = p + pos + 1;
            pos += 1 + size;

            bool ok = true;
            switch (type) {
            case kMain: ok = mainItem(tag, d, size); break;
            case kGlobal: ok = global(tag, d, size); break;
            case kLocal: ok = local(tag, d, size); break;
            default: break;  // reserved short items: nothing to learn from them
            }
            if (!ok)
                return refuseItem(item, fault);
        }
        // Every collection closed, at least one declared, and report ids
        // used either everywhere or nowhere (an id-less report on a device
        // that numbers its reports would have no id byte to tell it by).
        if (!openCollections.empty())
            return refuse("report descriptor ends inside a collection");
        if (!haveTopLevel)
            return refuse("report descriptor declares no collection");
        if (out->usesReportIds && sawMainWithoutId)
            return refuse("report descriptor numbers some reports, not all");
        if (locals.inDelimiter)
            return refuse("report descriptor ends inside a delimiter set");

        for (int type = 0; type < 3; ++type) {
            uint32_t longest = 0;
            for (int id = 0; id < 256; ++id) {
                if (!reportSeen[type][id])
                    continue;
                longest = std::max(longest, 1 + (reportBits[type][id] + 7) / 8);
            }
            uint16_t len = uint16_t(longest);  // bounded by kMaxReportBytes in field()
            uint16_t count = uint16_t(out->valueCaps[type].size());
            switch (type) {
            case HidP_Input:
                out->caps.InputReportByteLength = len;
                out->caps.NumberInputValueCaps = count;
                break;
            case HidP_Output:
                out->caps.OutputReportByteLength = len;
                out->caps.NumberOutputValueCaps = count;
                break;
            default:
                out->caps.FeatureReportByteLength = len;
                out->caps.NumberFeatureValueCaps = count;
                break;
            }
        }
        return true;
    }
};

bool validData(PHIDP_PREPARSED_DATA data)
{
    return data != nullptr && data->magic == kMagic;
}

bool validType(HIDP_REPORT_TYPE type)
{
    return type == HidP_Input || type == HidP_Output || type == HidP_Feature;
}

uint16_t reportLengthOf(PHIDP_PREPARSED_DATA data, HIDP_REPORT_TYPE type)
{
    switch (type) {
    case HidP_Input: return data->caps.InputReportByteLength;
    case HidP_Output: return data->caps.OutputReportByteLength;
    default: return data->caps.FeatureReportByteLength;
    }
}

bool matches(const HIDP_VALUE_CAPS& cap, uint16_t usagePage, uint16_t linkCollection, uint16_t usage)
{
    if (cap.UsagePage != usagePage)
        return false;
    if (linkCollection != 0 && cap.LinkCollection != linkCollection)
        return false;
    return usage >= cap.UsageMin && usage <= cap.UsageMax;
}

// Checks a value query's arguments, then finds the cap for a usage in the
// report whose id is report[0]. On success `element` is the index of the
// usage's first field within the cap. `hasOutput` says whether the caller
// was given somewhere to put the value.
NTSTATUS findCap(HIDP_REPORT_TYPE type, uint16_t usagePage, uint16_t linkCollection, uint16_t usage,
                 PHIDP_PREPARSED_DATA data, const uint8_t* report, uint32_t reportLength, bool hasOutput,
                 const ValueCap** found, uint32_t* element)
{
    if (!validData(data))
        return HIDP_STATUS_INVALID_PREPARSED_DATA;
    if (!validType(type))
        return HIDP_STATUS_INVALID_REPORT_TYPE;
    if (!hasOutput || report == nullptr)
        return HIDP_STATUS_NULL;
    if (reportLength != reportLengthOf(data, type))
        return HIDP_STATUS_INVALID_REPORT_LENGTH;
    bool any = false;
    for (const ValueCap& cap : data->valueCaps[type]) {
        if (!matches(cap.pub, usagePage, linkCollection, usage))
            continue;
        any = true;
        // A cap exists, so the report type has a nonzero length and report[0]
        // is inside the buffer.
        if (cap.pub.ReportID != report[0])
            continue;
        uint32_t index = uint32_t(usage - cap.pub.UsageMin);
        // Defensive: the parse placed every field inside its report.
        uint64_t endBit = uint64_t(cap.bitOffset) + uint64_t(cap.pub.BitSize) * cap.pub.ReportCount;
        if (endBit > uint64_t(reportLength) * 8 || index >= cap.pub.ReportCount)
            return HIDP_STATUS_INVALID_REPORT_LENGTH;
        *found = &cap;
        *element = index;
        return HIDP_STATUS_SUCCESS;
    }
    return any ? HIDP_STATUS_INCOMPATIBLE_REPORT_ID : HIDP_STATUS_USAGE_NOT_FOUND;
}

uint32_t bitAt(const uint8_t* buffer, uint64_t bit)
{
    return (buffer[bit / 8] >> (bit % 8)) & 1u;
}

}  // namespace

PHIDP_PREPARSED_DATA HidP_ParseReportDescriptor(const uint8_t* descriptor, size_t length)
{
    return HidP_ParseReportDescriptor(descriptor, length, nullptr);
}

PHIDP_PREPARSED_DATA HidP_ParseReportDescriptor(const uint8_t* descriptor, size_t length, std::string* whyRefused)
{
    if (descriptor == nullptr || length == 0) {
        if (whyRefused != nullptr)
            *whyRefused = "report descriptor is empty";
        return nullptr;
    }
    auto* data = new HIDP_PREPARSED_DATA;
    Parser parser;
    parser.out = data;
    if (!parser.run(descriptor, length)) {
        HidD_FreePreparsedData(data);
        if (whyRefused != nullptr)
            *whyRefused = std::move(parser.fault);
        return nullptr;
    }
    return data;
}

void HidD_FreePreparsedData(PHIDP_PREPARSED_DATA data)
{
    // nullptr is ignored. A pointer freed already cannot be recognised: its
    // memory is gone, and freeing it again is a use after free. Owners hold
    // the data in a corvalt::UniquePreparsedData, which frees it once.
    if (!validData(data))
        return;
    delete data;
}

NTSTATUS HidP_GetCaps(PHIDP_PREPARSED_DATA data, HIDP_CAPS* caps)
{
    if (!validData(data))
        return HIDP_STATUS_INVALID_PREPARSED_DATA;
    if (caps == nullptr)
        return HIDP_STATUS_NULL;
    if (data->system) {
        corvalt::SystemCaps c{};
        const NTSTATUS status = data->system->GetCaps(c);
        if (status == HIDP_STATUS_SUCCESS)
            *caps = {c.usage,
                     c.usagePage,
                     c.inputReportByteLength,
                     c.outputReportByteLength,
                     c.featureReportByteLength,
                     c.numberInputValueCaps,
                     c.numberOutputValueCaps,
                     c.numberFeatureValueCaps};
        return status;
    }
    *caps = data->caps;
    return HIDP_STATUS_SUCCESS;
}

NTSTATUS HidP_GetSpecificValueCaps(HIDP_REPORT_TYPE type, uint16_t usagePage, uint16_t linkCollection, uint16_t usage,
                                   HIDP_VALUE_CAPS* valueCaps, uint16_t* valueCapsLength, PHIDP_PREPARSED_DATA data)
{
    if (!validData(data))
        return HIDP_STATUS_INVALID_PREPARSED_DATA;
    if (!validType(type))
        return HIDP_STATUS_INVALID_REPORT_TYPE;
    if (valueCapsLength == nullptr)
        return HIDP_STATUS_NULL;
    uint16_t room = *valueCapsLength;
    if (valueCaps == nullptr && room > 0)
        return HIDP_STATUS_NULL;
    if (data->system) {
        std::vector<corvalt::SystemValueCaps> found(room);
        const NTSTATUS status =
            data->system->GetSpecificValueCaps(type, usagePage, linkCollection, usage, found.data(), valueCapsLength);
        for (uint16_t i = 0; i < std::min(room, *valueCapsLength); ++i) {
            const corvalt::SystemValueCaps& c = found[i];
            valueCaps[i] = {c.usagePage,   c.reportId,   c.isRange,    c.linkCollection, c.bitSize,
                            c.reportCount, c.logicalMin, c.logicalMax, c.usageMin,       c.usageMax};
        }
        return status;
    }

    uint16_t matched = 0;  // fits: there are at most kMaxValueCaps caps
    for (const ValueCap& cap : data->valueCaps[type]) {
        if (!matches(cap.pub, usagePage, linkCollection, usage))
            continue;
        if (matched < room)
            valueCaps[matched] = cap.pub;
        ++matched;
    }
    *valueCapsLength = matched;
    if (matched == 0)
        return HIDP_STATUS_USAGE_NOT_FOUND;
    return matched > room ? HIDP_STATUS_BUFFER_TOO_SMALL : HIDP_STATUS_SUCCESS;
}

NTSTATUS HidP_GetUsageValue(HIDP_REPORT_TYPE type, uint16_t usagePage, uint16_t linkCollection, uint16_t usage,
                            uint32_t* usageValue, PHIDP_PREPARSED_DATA data, const uint8_t* report,
                            uint32_t reportLength)
{
    if (validData(data) && data->system && validType(type))
        return data->system->GetUsageValue(type, usagePage, linkCollection, usage, usageValue, report, reportLength);
    const ValueCap* cap = nullptr;
    uint32_t element = 0;
    NTSTATUS status = findCap(type, usagePage, linkCollection, usage, data, report, reportLength, usageValue != nullptr,
                              &cap, &element);
    if (status != HIDP_STATUS_SUCCESS)
        return status;

    // Raw bits, least significant first; wider fields give their low 32 bits.
    uint64_t first = cap->bitOffset + uint64_t(element) * cap->pub.BitSize;
    unsigned width = std::min<unsigned>(cap->pub.BitSize, 32);
    uint32_t value = 0;
    for (unsigned i = 0; i < width; ++i)
        value |= bitAt(report, first + i) << i;
    *usageValue = value;
    return HIDP_STATUS_SUCCESS;
}

NTSTATUS HidP_GetUsageValueArray(HIDP_REPORT_TYPE type, uint16_t usagePage, uint16_t linkCollection, uint16_t usage,
                                 uint8_t* usageValue, uint16_t usageValueByteLength, PHIDP_PREPARSED_DATA data,
                                 const uint8_t* report, uint32_t reportLength)
{
    if (validData(data) && data->system && validType(type))
        return data->system->GetUsageValueArray(type, usagePage, linkCollection, usage, usageValue,
                                                usageValueByteLength, report, reportLength);
    const ValueCap* cap = nullptr;
    uint32_t element = 0;
    NTSTATUS status = findCap(type, usagePage, linkCollection, usage, data, report, reportLength, usageValue != nullptr,
                              &cap, &element);
    if (status != HIDP_STATUS_SUCCESS)
        return status;
    if (cap->pub.IsRange || cap->pub.ReportCount <= 1)
        return HIDP_STATUS_NOT_VALUE_ARRAY;

    uint64_t bits = uint64_t(cap->pub.BitSize) * cap->pub.ReportCount;
    uint64_t bytes = (bits + 7) / 8;
    if (usageValueByteLength < bytes)
        return HIDP_STATUS_BUFFER_TOO_SMALL;

    // All elements, packed as in the report but from bit 0 of the buffer;
    // the unused high bits of the last byte are cleared.
    std::memset(usageValue, 0, size_t(bytes));
    for (uint64_t i = 0; i < bits; ++i)
        usageValue[i / 8] |= uint8_t(bitAt(report, cap->bitOffset + i) << (i % 8));
    return HIDP_STATUS_SUCCESS;
}

namespace corvalt {

bool HidDescriptorUsesReportIds(PHIDP_PREPARSED_DATA data)
{
    return validData(data) && data->usesReportIds;
}

HIDP_PREPARSED_DATA* AdoptSystemParse(std::unique_ptr<SystemParse> parse)
{
    if (!parse)
        return nullptr;
    auto* data = new HIDP_PREPARSED_DATA;
    data->system = std::move(parse);
    return data;
}

}  // namespace corvalt
