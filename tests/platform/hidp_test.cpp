#include "platform/hidp.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

// Whole-record comparisons, printed field by field when they fail.
static auto Fields(const HIDP_CAPS& c)
{
    return std::tuple(c.Usage, c.UsagePage, c.InputReportByteLength, c.OutputReportByteLength,
                      c.FeatureReportByteLength, c.NumberInputValueCaps, c.NumberOutputValueCaps,
                      c.NumberFeatureValueCaps);
}
static auto Fields(const HIDP_VALUE_CAPS& c)
{
    return std::tuple(c.UsagePage, int(c.ReportID), c.IsRange, c.LinkCollection, c.BitSize, c.ReportCount, c.LogicalMin,
                      c.LogicalMax, c.UsageMin, c.UsageMax);
}
bool operator==(const HIDP_CAPS& a, const HIDP_CAPS& b)
{
    return Fields(a) == Fields(b);
}
bool operator==(const HIDP_VALUE_CAPS& a, const HIDP_VALUE_CAPS& b)
{
    return Fields(a) == Fields(b);
}
void PrintTo(const HIDP_CAPS& c, std::ostream* os)
{
    *os << ::testing::PrintToString(Fields(c));
}
void PrintTo(const HIDP_VALUE_CAPS& c, std::ostream* os)
{
    *os << ::testing::PrintToString(Fields(c));
}

namespace {

using Parsed = std::unique_ptr<HIDP_PREPARSED_DATA, decltype(&HidD_FreePreparsedData)>;

Parsed Parse(const std::vector<uint8_t>& d)
{
    return Parsed(HidP_ParseReportDescriptor(d.data(), d.size()), &HidD_FreePreparsedData);
}

// Writes `n` bits of `value`, least significant first, at `bit` of the report.
void PutBits(std::vector<uint8_t>& report, size_t bit, unsigned n, uint64_t value)
{
    for (unsigned i = 0; i < n; ++i, ++bit) {
        if ((value >> i) & 1)
            report[bit / 8] |= uint8_t(1u << (bit % 8));
    }
}

// Wraps items in a vendor-page application collection.
std::vector<uint8_t> InCollection(std::vector<uint8_t> items)
{
    std::vector<uint8_t> d = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01};  // Usage Page (Vendor), Usage (1), Collection
    d.insert(d.end(), items.begin(), items.end());
    d.push_back(0xC0);  // End Collection
    return d;
}

const std::vector<uint8_t> kBootKeyboard = {
    0x05, 0x01,  // Usage Page (Generic Desktop)
    0x09, 0x06,  // Usage (Keyboard)
    0xA1, 0x01,  // Collection (Application)
    0x05, 0x07,  //   Usage Page (Keyboard)
    0x19, 0xE0,  //   Usage Minimum (224)
    0x29, 0xE7,  //   Usage Maximum (231)
    0x15, 0x00,  //   Logical Minimum (0)
    0x25, 0x01,  //   Logical Maximum (1)
    0x75, 0x01,  //   Report Size (1)
    0x95, 0x08,  //   Report Count (8)
    0x81, 0x02,  //   Input (Data,Var,Abs)        modifier buttons
    0x75, 0x08,  //   Report Size (8)
    0x95, 0x01,  //   Report Count (1)
    0x81, 0x01,  //   Input (Cnst,Arr,Abs)        reserved byte
    0x05, 0x08,  //   Usage Page (LEDs)
    0x19, 0x01,  //   Usage Minimum (1)
    0x29, 0x05,  //   Usage Maximum (5)
    0x75, 0x01,  //   Report Size (1)
    0x95, 0x05,  //   Report Count (5)
    0x91, 0x02,  //   Output (Data,Var,Abs)       LED buttons
    0x75, 0x03,  //   Report Size (3)
    0x95, 0x01,  //   Report Count (1)
    0x91, 0x01,  //   Output (Cnst,Arr,Abs)       padding
    0x05, 0x07,  //   Usage Page (Keyboard)
    0x19, 0x00,  //   Usage Minimum (0)
    0x29, 0x65,  //   Usage Maximum (101)
    0x25, 0x65,  //   Logical Maximum (101)
    0x75, 0x08,  //   Report Size (8)
    0x95, 0x06,  //   Report Count (6)
    0x81, 0x00,  //   Input (Data,Arr,Abs)        key codes
    0xC0,        // End Collection
};

const std::vector<uint8_t> kMouseWithIds = {
    0x05, 0x01,        // Usage Page (Generic Desktop)
    0x09, 0x02,        // Usage (Mouse)
    0xA1, 0x01,        // Collection (Application)              link collection 0
    0x85, 0x01,        //   Report ID (1)
    0x09, 0x01,        //   Usage (Pointer)
    0xA1, 0x00,        //   Collection (Physical)               link collection 1
    0x05, 0x09,        //     Usage Page (Button)
    0x19, 0x01,        //     Usage Minimum (1)
    0x29, 0x03,        //     Usage Maximum (3)
    0x15, 0x00,        //     Logical Minimum (0)
    0x25, 0x01,        //     Logical Maximum (1)
    0x75, 0x01,        //     Report Size (1)
    0x95, 0x03,        //     Report Count (3)
    0x81, 0x02,        //     Input (Data,Var,Abs)
    0x75, 0x05,        //     Report Size (5)
    0x95, 0x01,        //     Report Count (1)
    0x81, 0x03,        //     Input (Cnst,Var,Abs)
    0x05, 0x01,        //     Usage Page (Generic Desktop)
    0x09, 0x30,        //     Usage (X)
    0x09, 0x31,        //     Usage (Y)
    0x16, 0x01, 0x80,  //     Logical Minimum (-32767)
    0x26, 0xFF, 0x7F,  //     Logical Maximum (32767)
    0x75, 0x10,        //     Report Size (16)
    0x95, 0x02,        //     Report Count (2)
    0x81, 0x06,        //     Input (Data,Var,Rel)
    0x09, 0x38,        //     Usage (Wheel)
    0x15, 0x81,        //     Logical Minimum (-127)
    0x25, 0x7F,        //     Logical Maximum (127)
    0x75, 0x08,        //     Report Size (8)
    0x95, 0x01,        //     Report Count (1)
    0x81, 0x06,        //     Input (Data,Var,Rel)
    0xC0,              //   End Collection
    0x85, 0x02,        //   Report ID (2)
    0x05, 0x0C,        //   Usage Page (Consumer)
    0x0A, 0x38, 0x02,  //   Usage (AC Pan)
    0x81, 0x06,        //   Input (Data,Var,Rel)
    0xC0,              // End Collection
};

// Shaped like a card reader's: status bytes, lengths, three track arrays.
const std::vector<uint8_t> kReader = {
    0x06, 0x00, 0xFF,              // Usage Page (Vendor 0xFF00)
    0x09, 0x01,                    // Usage (0x01)
    0xA1, 0x01,                    // Collection (Application)
    0x15, 0x00,                    //   Logical Minimum (0)
    0x26, 0xFF, 0x00,              //   Logical Maximum (255)
    0x75, 0x08,                    //   Report Size (8)
    0x09, 0x20,                    //   Usage (0x20)                 track decode statuses
    0x09, 0x21,                    //   Usage (0x21)
    0x09, 0x22,                    //   Usage (0x22)
    0x95, 0x03,                    //   Report Count (3)
    0x81, 0x02,                    //   Input (Data,Var,Abs)
    0x09, 0x28,                    //   Usage (0x28)                 track lengths
    0x09, 0x29,                    //   Usage (0x29)
    0x09, 0x2A,                    //   Usage (0x2A)
    0x81, 0x02,                    //   Input (Data,Var,Abs)
    0x09, 0x38,                    //   Usage (0x38)                 encode type
    0x09, 0x39,                    //   Usage (0x39)                 card status
    0x95, 0x02,                    //   Report Count (2)
    0x81, 0x02,                    //   Input (Data,Var,Abs)
    0x95, 0x6E,                    //   Report Count (110)
    0x09, 0x30,                    //   Usage (0x30)                 track 1 data
    0x81, 0x02,                    //   Input (Data,Var,Abs)
    0x09, 0x31,                    //   Usage (0x31)                 track 2 data
    0x81, 0x02,                    //   Input (Data,Var,Abs)
    0x09, 0x32,                    //   Usage (0x32)                 track 3 data
    0x81, 0x02,                    //   Input (Data,Var,Abs)
    0x27, 0xFF, 0xFF, 0xFF, 0x7F,  // Logical Maximum (0x7FFFFFFF)
    0x75, 0x20,                    //   Report Size (32)
    0x95, 0x01,                    //   Report Count (1)
    0x09, 0x41,                    //   Usage (0x41)
    0x81, 0x02,                    //   Input (Data,Var,Abs)
    0x26, 0xFF, 0x00,              //   Logical Maximum (255)
    0x75, 0x08,                    //   Report Size (8)
    0x95, 0x3F,                    //   Report Count (63)
    0x09, 0x20,                    //   Usage (0x20)                 commands
    0xB1, 0x02,                    //   Feature (Data,Var,Abs)
    0xC0,                          // End Collection
};
constexpr uint16_t kVendor = 0xFF00;
constexpr uint32_t kReaderInputLength = 343;  // id + 8 status/length bytes + 3 x 110 + 4

// Usage ranges, the R - N + 1 rule, Push/Pop, a long item, an extended usage,
// fields off byte boundaries and wider than 32 bits.
const std::vector<uint8_t> kLayouts = {
    0x06, 0x00, 0xFF,              // Usage Page (Vendor 0xFF00)
    0x09, 0x01,                    // Usage (0x01)
    0xA1, 0x01,                    // Collection (Application)
    0x15, 0x00,                    //   Logical Minimum (0)
    0x25, 0x0F,                    //   Logical Maximum (15)
    0x75, 0x04,                    //   Report Size (4)
    0x19, 0x50,                    //   Usage Minimum (0x50)
    0x29, 0x53,                    //   Usage Maximum (0x53)
    0x95, 0x03,                    //   Report Count (3)         range cut to 0x50..0x52, bits 8..19
    0x81, 0x02,                    //   Input (Data,Var,Abs)
    0x09, 0x60,                    //   Usage (0x60)             bits 20..23
    0x09, 0x61,                    //   Usage (0x61)             bits 24..27
    0x09, 0x62,                    //   Usage (0x62)             3 values, bits 28..39
    0x95, 0x05,                    //   Report Count (5)
    0x81, 0x02,                    //   Input (Data,Var,Abs)
    0xA4,                          //   Push
    0x75, 0x28,                    //   Report Size (40)
    0x27, 0xFF, 0xFF, 0xFF, 0x7F,  // Logical Maximum (0x7FFFFFFF)
    0xFE, 0x02, 0x10, 0xAA, 0xBB,  // Long item (2 data bytes), skipped
    0x09, 0x70,                    //   Usage (0x70)             bits 40..79
    0x95, 0x01,                    //   Report Count (1)
    0x81, 0x02,                    //   Input (Data,Var,Abs)
    0xB4,                          //   Pop                      back to size 4, max 15
    0x0B, 0x01, 0x00, 0x0C, 0x00,  // Usage (Consumer 0x0001), bits 80..83
    0x95, 0x01,                    //   Report Count (1)
    0x81, 0x02,                    //   Input (Data,Var,Abs)
    0x09, 0x80,                    //   Usage (0x80)             bits 84..87
    0x09, 0x81,                    //   Usage (0x81)             bits 88..91
    0x09, 0x82,                    //   Usage (0x82)             no field left
    0x95, 0x02,                    //   Report Count (2)
    0x81, 0x02,                    //   Input (Data,Var,Abs)
    0xC0,                          // End Collection
};

TEST(HidpCaps, LengthsUsageAndValueCounts)
{
    struct Case {
        const char* name;
        const std::vector<uint8_t>& descriptor;
        HIDP_CAPS expected;  // Usage, UsagePage, In, Out, Feature, value caps In/Out/Feature
        bool reportIds;
    };
    const Case cases[] = {
        {"keyboard", kBootKeyboard, {0x06, 0x01, 9, 2, 0, 0, 0, 0}, false},
        {"mouse", kMouseWithIds, {0x02, 0x01, 7, 0, 0, 4, 0, 0}, true},
        {"reader", kReader, {0x01, kVendor, kReaderInputLength, 0, 64, 12, 0, 1}, false},
        {"layouts", kLayouts, {0x01, kVendor, 12, 0, 0, 8, 0, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Parsed p = Parse(c.descriptor);
        ASSERT_NE(p, nullptr);
        HIDP_CAPS caps{};
        EXPECT_EQ(HidP_GetCaps(p.get(), &caps), HIDP_STATUS_SUCCESS);
        EXPECT_EQ(caps, c.expected);
        EXPECT_EQ(corvalt::HidDescriptorUsesReportIds(p.get()), c.reportIds);
    }
    EXPECT_FALSE(corvalt::HidDescriptorUsesReportIds(nullptr));
}

TEST(HidpValueCaps, FieldsOfEachCap)
{
    struct Case {
        const char* name;
        const std::vector<uint8_t>& descriptor;
        HIDP_REPORT_TYPE type;
        uint16_t page, link, usage;
        HIDP_VALUE_CAPS expected;  // page, id, range, link, bits, count, logical, usage min/max
    };
    const Case cases[] = {
        {"reader status", kReader, HidP_Input, kVendor, 0, 0x21, {kVendor, 0, false, 0, 8, 1, 0, 255, 0x21, 0x21}},
        {"reader track", kReader, HidP_Input, kVendor, 0, 0x31, {kVendor, 0, false, 0, 8, 110, 0, 255, 0x31, 0x31}},
        {"reader 32-bit",
         kReader,
         HidP_Input,
         kVendor,
         0,
         0x41,
         {kVendor, 0, false, 0, 32, 1, 0, 0x7FFFFFFF, 0x41, 0x41}},
        {"reader feature", kReader, HidP_Feature, kVendor, 0, 0x20, {kVendor, 0, false, 0, 8, 63, 0, 255, 0x20, 0x20}},
        {"mouse X", kMouseWithIds, HidP_Input, 0x01, 1, 0x30, {0x01, 1, false, 1, 16, 1, -32767, 32767, 0x30, 0x30}},
        {"mouse wheel", kMouseWithIds, HidP_Input, 0x01, 0, 0x38, {0x01, 1, false, 1, 8, 1, -127, 127, 0x38, 0x38}},
        {"mouse pan", kMouseWithIds, HidP_Input, 0x0C, 0, 0x238, {0x0C, 2, false, 0, 8, 1, -127, 127, 0x238, 0x238}},
        {"range cut to its fields",
         kLayouts,
         HidP_Input,
         kVendor,
         0,
         0x51,
         {kVendor, 0, true, 0, 4, 3, 0, 15, 0x50, 0x52}},
        {"earlier usage", kLayouts, HidP_Input, kVendor, 0, 0x61, {kVendor, 0, false, 0, 4, 1, 0, 15, 0x61, 0x61}},
        {"last usage takes the rest",
         kLayouts,
         HidP_Input,
         kVendor,
         0,
         0x62,
         {kVendor, 0, false, 0, 4, 3, 0, 15, 0x62, 0x62}},
        {"inside Push",
         kLayouts,
         HidP_Input,
         kVendor,
         0,
         0x70,
         {kVendor, 0, false, 0, 40, 1, 0, 0x7FFFFFFF, 0x70, 0x70}},
        {"extended, after Pop", kLayouts, HidP_Input, 0x0C, 0, 0x01, {0x0C, 0, false, 0, 4, 1, 0, 15, 0x01, 0x01}},
        {"more usages than fields",
         kLayouts,
         HidP_Input,
         kVendor,
         0,
         0x81,
         {kVendor, 0, false, 0, 4, 1, 0, 15, 0x81, 0x81}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Parsed p = Parse(c.descriptor);
        ASSERT_NE(p, nullptr);
        HIDP_VALUE_CAPS got[2]{};
        uint16_t n = 2;
        ASSERT_EQ(HidP_GetSpecificValueCaps(c.type, c.page, c.link, c.usage, got, &n, p.get()), HIDP_STATUS_SUCCESS);
        EXPECT_EQ(n, 1);
        EXPECT_EQ(got[0], c.expected);
    }
}

TEST(HidpValueCaps, OnlyVariableNonButtonFieldsAreValues)
{
    struct Case {
        const char* name;
        const std::vector<uint8_t>& descriptor;
        HIDP_REPORT_TYPE type;
        uint16_t page, link, usage;
    };
    const Case cases[] = {
        {"modifier buttons", kBootKeyboard, HidP_Input, 0x07, 0, 0xE0},
        {"array keys", kBootKeyboard, HidP_Input, 0x07, 0, 0x04},
        {"LED buttons", kBootKeyboard, HidP_Output, 0x08, 0, 0x01},
        {"mouse buttons", kMouseWithIds, HidP_Input, 0x09, 0, 0x01},
        {"pan is not in the physical collection", kMouseWithIds, HidP_Input, 0x0C, 1, 0x238},
        {"range past its fields", kLayouts, HidP_Input, kVendor, 0, 0x53},
        {"usage beyond the fields", kLayouts, HidP_Input, kVendor, 0, 0x82},
        {"wrong report type", kReader, HidP_Output, kVendor, 0, 0x20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Parsed p = Parse(c.descriptor);
        ASSERT_NE(p, nullptr);
        HIDP_VALUE_CAPS got[1]{};
        uint16_t n = 1;
        EXPECT_EQ(HidP_GetSpecificValueCaps(c.type, c.page, c.link, c.usage, got, &n, p.get()),
                  HIDP_STATUS_USAGE_NOT_FOUND);
        EXPECT_EQ(n, 0);
    }
}

TEST(HidpValueCaps, BufferTooSmallReportsTheMatchCountAndWritesTheFirst)
{
    const std::vector<uint8_t> twice = {
        0x06, 0x00, 0xFF,  // Usage Page (Vendor 0xFF00)
        0x09, 0x01,        // Usage (0x01)
        0xA1, 0x01,        // Collection (Application)
        0x75, 0x08,        //   Report Size (8)
        0x95, 0x01,        //   Report Count (1)
        0x09, 0x20,        //   Usage (0x20)
        0x81, 0x02,        //   Input (Data,Var,Abs)       bits 8..15
        0x75, 0x10,        //   Report Size (16)
        0x09, 0x20,        //   Usage (0x20)
        0x81, 0x02,        //   Input (Data,Var,Abs)       bits 16..31
        0xC0,              // End Collection
    };
    Parsed p = Parse(twice);
    ASSERT_NE(p, nullptr);
    HIDP_VALUE_CAPS got[2]{};
    uint16_t n = 1;
    EXPECT_EQ(HidP_GetSpecificValueCaps(HidP_Input, kVendor, 0, 0x20, got, &n, p.get()), HIDP_STATUS_BUFFER_TOO_SMALL);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(got[0].BitSize, 8);
    EXPECT_EQ(got[1].BitSize, 0);  // no room: not written

    n = 0;  // asking for the count only
    EXPECT_EQ(HidP_GetSpecificValueCaps(HidP_Input, kVendor, 0, 0x20, nullptr, &n, p.get()),
              HIDP_STATUS_BUFFER_TOO_SMALL);
    EXPECT_EQ(n, 2);

    // The same usage twice in one report: the value read is the first one's.
    std::vector<uint8_t> report(4, 0);
    report[1] = 0x11;
    uint32_t value = 0;
    EXPECT_EQ(HidP_GetUsageValue(HidP_Input, kVendor, 0, 0x20, &value, p.get(), report.data(), 4), HIDP_STATUS_SUCCESS);
    EXPECT_EQ(value, 0x11u);
}

TEST(HidpValueCaps, DelimitedAlternativesKeepTheFirstUsage)
{
    Parsed p = Parse(InCollection({
        0xA9, 0x01,  // Delimiter (Open)
        0x09, 0x20,  //   Usage (0x20)
        0x09, 0x21,  //   Usage (0x21)          an alias of the same control
        0xA9, 0x00,  // Delimiter (Close)
        0x75, 0x08,  // Report Size (8)
        0x95, 0x02,  // Report Count (2)
        0x81, 0x02,  // Input (Data,Var,Abs)
    }));
    ASSERT_NE(p, nullptr);
    HIDP_VALUE_CAPS got[1]{};
    uint16_t n = 1;
    EXPECT_EQ(HidP_GetSpecificValueCaps(HidP_Input, kVendor, 0, 0x20, got, &n, p.get()), HIDP_STATUS_SUCCESS);
    EXPECT_EQ(got[0].ReportCount, 2);
    EXPECT_EQ(HidP_GetSpecificValueCaps(HidP_Input, kVendor, 0, 0x21, got, &n, p.get()), HIDP_STATUS_USAGE_NOT_FOUND);
}

TEST(HidpValueCaps, BadArguments)
{
    Parsed p = Parse(kReader);
    ASSERT_NE(p, nullptr);
    HIDP_VALUE_CAPS got[1]{};
    uint16_t n = 1;
    HIDP_CAPS caps{};
    EXPECT_EQ(HidP_GetCaps(nullptr, &caps), HIDP_STATUS_INVALID_PREPARSED_DATA);
    EXPECT_EQ(HidP_GetCaps(p.get(), nullptr), HIDP_STATUS_NULL);
    EXPECT_EQ(HidP_GetSpecificValueCaps(HidP_Input, kVendor, 0, 0x20, got, &n, nullptr),
              HIDP_STATUS_INVALID_PREPARSED_DATA);
    EXPECT_EQ(HidP_GetSpecificValueCaps(HIDP_REPORT_TYPE(3), kVendor, 0, 0x20, got, &n, p.get()),
              HIDP_STATUS_INVALID_REPORT_TYPE);
    EXPECT_EQ(HidP_GetSpecificValueCaps(HidP_Input, kVendor, 0, 0x20, got, nullptr, p.get()), HIDP_STATUS_NULL);
    EXPECT_EQ(HidP_GetSpecificValueCaps(HidP_Input, kVendor, 0, 0x20, nullptr, &n, p.get()), HIDP_STATUS_NULL);
    HidD_FreePreparsedData(nullptr);  // allowed
}

// The reader's input report with recognisable bytes in every field.
std::vector<uint8_t> ReaderReport()
{
    std::vector<uint8_t> r(kReaderInputLength, 0);
    for (size_t i = 1; i <= 8; ++i)
        r[i] = uint8_t(0x10 + i);  // 0x20..0x22, 0x28..0x2A, 0x38, 0x39
    for (size_t i = 0; i < 330; ++i)
        r[9 + i] = uint8_t(i);            // tracks 1..3
    PutBits(r, 339 * 8, 32, 0xDEADBEEF);  // 0x41
    return r;
}

TEST(HidpUsageValue, ReadsRawBitsOfTheRightField)
{
    struct Case {
        const char* name;
        const std::vector<uint8_t>& descriptor;
        uint16_t page, usage;
        std::vector<uint8_t> report;
        uint32_t expected;
    };
    std::vector<uint8_t> layouts(12, 0);
    PutBits(layouts, 8, 12, 0xCBA);          // range 0x50..0x52 = A, B, C
    PutBits(layouts, 20, 8, 0xED);           // 0x60 = D, 0x61 = E
    PutBits(layouts, 28, 12, 0x987);         // 0x62 = 7, 8, 9
    PutBits(layouts, 40, 40, 0xAB12345678);  // 0x70, 40 bits
    PutBits(layouts, 80, 4, 0x5);            // Consumer 0x01
    PutBits(layouts, 84, 8, 0x3F);           // 0x80 = F, 0x81 = 3
    std::vector<uint8_t> mouse = {1, 0x07, 0xFE, 0xFF, 0x02, 0x00, 0xFF};
    const Case cases[] = {
        {"decode status", kReader, kVendor, 0x22, ReaderReport(), 0x13},
        {"card status", kReader, kVendor, 0x39, ReaderReport(), 0x18},
        {"track: first element", kReader, kVendor, 0x32, ReaderReport(), 220},
        {"32-bit value", kReader, kVendor, 0x41, ReaderReport(), 0xDEADBEEF},
        {"range, middle usage", kLayouts, kVendor, 0x51, layouts, 0xB},
        {"earlier usage", kLayouts, kVendor, 0x61, layouts, 0xE},
        {"last usage, first element", kLayouts, kVendor, 0x62, layouts, 0x7},
        {"over 32 bits: low 32", kLayouts, kVendor, 0x70, layouts, 0x12345678},
        {"extended usage", kLayouts, 0x0C, 0x01, layouts, 0x5},
        {"after a usage", kLayouts, kVendor, 0x81, layouts, 0x3},
        {"negative X is not sign-extended", kMouseWithIds, 0x01, 0x30, mouse, 0xFFFE},
        {"Y", kMouseWithIds, 0x01, 0x31, mouse, 0x0002},
        {"wheel", kMouseWithIds, 0x01, 0x38, mouse, 0xFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Parsed p = Parse(c.descriptor);
        ASSERT_NE(p, nullptr);
        uint32_t value = 0;
        EXPECT_EQ(HidP_GetUsageValue(HidP_Input, c.page, 0, c.usage, &value, p.get(), c.report.data(),
                                     uint32_t(c.report.size())),
                  HIDP_STATUS_SUCCESS);
        EXPECT_EQ(value, c.expected);
    }

    // The pan lives in report 2, which is shorter than the longest report.
    Parsed p = Parse(kMouseWithIds);
    std::vector<uint8_t> pan = {2, 0x80, 0, 0, 0, 0, 0};
    uint32_t value = 0;
    EXPECT_EQ(HidP_GetUsageValue(HidP_Input, 0x0C, 0, 0x238, &value, p.get(), pan.data(), 7), HIDP_STATUS_SUCCESS);
    EXPECT_EQ(value, 0x80u);
}

TEST(HidpUsageValueArray, CopiesAllElementsFromBitZero)
{
    Parsed reader = Parse(kReader);
    ASSERT_NE(reader, nullptr);
    std::vector<uint8_t> report = ReaderReport();
    std::vector<uint8_t> track(112, 0xEE);
    ASSERT_EQ(HidP_GetUsageValueArray(HidP_Input, kVendor, 0, 0x31, track.data(), 110, reader.get(), report.data(),
                                      kReaderInputLength),
              HIDP_STATUS_SUCCESS);
    for (size_t i = 0; i < 110; ++i)
        ASSERT_EQ(track[i], uint8_t(110 + i)) << i;
    EXPECT_EQ(track[110], 0xEE);  // past the elements: untouched

    // Off a byte boundary: three 4-bit values at bit 28, and the unused half
    // of the last byte cleared.
    Parsed layouts = Parse(kLayouts);
    ASSERT_NE(layouts, nullptr);
    std::vector<uint8_t> r(12, 0xFF);
    r[0] = 0;
    r[3] = 0x7F;  // bits 28..31 = 7
    r[4] = 0x98;  // bits 32..39 = 8, 9
    uint8_t out[3] = {0xEE, 0xEE, 0xEE};
    ASSERT_EQ(HidP_GetUsageValueArray(HidP_Input, kVendor, 0, 0x62, out, 2, layouts.get(), r.data(), 12),
              HIDP_STATUS_SUCCESS);
    EXPECT_EQ(out[0], 0x87);
    EXPECT_EQ(out[1], 0x09);
    EXPECT_EQ(out[2], 0xEE);
}

// Every failure of both getters, with the output left as it was.
TEST(HidpUsageValue, FailuresLeaveTheOutputAlone)
{
    Parsed reader = Parse(kReader);
    Parsed mouse = Parse(kMouseWithIds);
    Parsed layouts = Parse(kLayouts);
    ASSERT_TRUE(reader && mouse && layouts);
    std::vector<uint8_t> rr = ReaderReport();
    std::vector<uint8_t> mr = {2, 1, 2, 3, 4, 5, 6};
    std::vector<uint8_t> lr(12, 0x55);
    lr[0] = 0;
    std::vector<uint8_t> noId = rr;
    noId[0] = 1;
    struct Case {
        const char* name;
        PHIDP_PREPARSED_DATA data;
        HIDP_REPORT_TYPE type;
        uint16_t page, usage;
        const std::vector<uint8_t>* report;
        uint32_t length;
        uint16_t arrayRoom;
        NTSTATUS value, array;  // expected of GetUsageValue and GetUsageValueArray
    };
    const Case cases[] = {
        {"no data", nullptr, HidP_Input, kVendor, 0x30, &rr, kReaderInputLength, 200,
         HIDP_STATUS_INVALID_PREPARSED_DATA, HIDP_STATUS_INVALID_PREPARSED_DATA},
        {"bad type", reader.get(), HIDP_REPORT_TYPE(3), kVendor, 0x30, &rr, kReaderInputLength, 200,
         HIDP_STATUS_INVALID_REPORT_TYPE, HIDP_STATUS_INVALID_REPORT_TYPE},
        {"no report", reader.get(), HidP_Input, kVendor, 0x30, nullptr, kReaderInputLength, 200, HIDP_STATUS_NULL,
         HIDP_STATUS_NULL},
        {"one byte short", reader.get(), HidP_Input, kVendor, 0x30, &rr, kReaderInputLength - 1, 200,
         HIDP_STATUS_INVALID_REPORT_LENGTH, HIDP_STATUS_INVALID_REPORT_LENGTH},
        {"one byte long", reader.get(), HidP_Input, kVendor, 0x30, &rr, kReaderInputLength + 1, 200,
         HIDP_STATUS_INVALID_REPORT_LENGTH, HIDP_STATUS_INVALID_REPORT_LENGTH},
        {"feature length for input", reader.get(), HidP_Input, kVendor, 0x30, &rr, 64, 200,
         HIDP_STATUS_INVALID_REPORT_LENGTH, HIDP_STATUS_INVALID_REPORT_LENGTH},
        {"unknown usage", reader.get(), HidP_Input, kVendor, 0x33, &rr, kReaderInputLength, 200,
         HIDP_STATUS_USAGE_NOT_FOUND, HIDP_STATUS_USAGE_NOT_FOUND},
        {"wrong page", reader.get(), HidP_Input, 0xFF01, 0x30, &rr, kReaderInputLength, 200,
         HIDP_STATUS_USAGE_NOT_FOUND, HIDP_STATUS_USAGE_NOT_FOUND},
        {"id byte set, no ids declared", reader.get(), HidP_Input, kVendor, 0x30, &noId, kReaderInputLength, 200,
         HIDP_STATUS_INCOMPATIBLE_REPORT_ID, HIDP_STATUS_INCOMPATIBLE_REPORT_ID},
        {"X read from report 2", mouse.get(), HidP_Input, 0x01, 0x30, &mr, 7, 200, HIDP_STATUS_INCOMPATIBLE_REPORT_ID,
         HIDP_STATUS_INCOMPATIBLE_REPORT_ID},
        {"track buffer one byte short", reader.get(), HidP_Input, kVendor, 0x30, &rr, kReaderInputLength, 109,
         HIDP_STATUS_SUCCESS, HIDP_STATUS_BUFFER_TOO_SMALL},
        {"single value", reader.get(), HidP_Input, kVendor, 0x20, &rr, kReaderInputLength, 200, HIDP_STATUS_SUCCESS,
         HIDP_STATUS_NOT_VALUE_ARRAY},
        {"range", layouts.get(), HidP_Input, kVendor, 0x50, &lr, 12, 200, HIDP_STATUS_SUCCESS,
         HIDP_STATUS_NOT_VALUE_ARRAY},
        {"4-bit x 3 in one byte", layouts.get(), HidP_Input, kVendor, 0x62, &lr, 12, 1, HIDP_STATUS_SUCCESS,
         HIDP_STATUS_BUFFER_TOO_SMALL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const uint8_t* report = c.report ? c.report->data() : nullptr;
        if (c.value != HIDP_STATUS_SUCCESS) {
            uint32_t value = 0xA5A5A5A5;
            EXPECT_EQ(HidP_GetUsageValue(c.type, c.page, 0, c.usage, &value, c.data, report, c.length), c.value);
            EXPECT_EQ(value, 0xA5A5A5A5);
        }
        std::vector<uint8_t> out(200, 0xA5);
        EXPECT_EQ(
            HidP_GetUsageValueArray(c.type, c.page, 0, c.usage, out.data(), c.arrayRoom, c.data, report, c.length),
            c.array);
        EXPECT_EQ(out, std::vector<uint8_t>(200, 0xA5));
    }
    EXPECT_EQ(HidP_GetUsageValue(HidP_Input, kVendor, 0, 0x30, nullptr, reader.get(), rr.data(), kReaderInputLength),
              HIDP_STATUS_NULL);
    EXPECT_EQ(HidP_GetUsageValueArray(HidP_Input, kVendor, 0, 0x30, nullptr, 200, reader.get(), rr.data(),
                                      kReaderInputLength),
              HIDP_STATUS_NULL);
}

std::vector<uint8_t> Repeat(std::vector<uint8_t> items, size_t times)
{
    std::vector<uint8_t> d;
    for (size_t i = 0; i < times; ++i)
        d.insert(d.end(), items.begin(), items.end());
    return d;
}

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> d;
    for (const auto& part : parts)
        d.insert(d.end(), part.begin(), part.end());
    return d;
}

TEST(HidpParse, MalformedDescriptorsAreRefusedWithTheirFaultAndLimitsHold)
{
    struct Case {
        std::string name;
        std::vector<uint8_t> descriptor;
        std::string refusal;  // empty: accepted
    };
    const std::vector<uint8_t> input8 = {0x75, 0x08, 0x95, 0x01, 0x09, 0x20, 0x81, 0x02};  // one 8-bit value
    const std::vector<uint8_t> big = {0x75, 0x10, 0x96, 0x00, 0x10, 0x81, 0x03};           // 16 x 4096 = 65536 bits
    // 1024 8-bit values, one cap each
    const std::vector<uint8_t> caps1024 =
        Join({Repeat({0x09, 0x20}, 1024), {0x75, 0x08, 0x96, 0x00, 0x04, 0x81, 0x02}});
    const std::string item = "report descriptor item ";
    const Case cases[] = {
        {"empty", {}, "report descriptor is empty"},
        {"no collection", {0x05, 0x01, 0x09, 0x02}, "report descriptor declares no collection"},
        {"item cut short", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0xC0, 0x26, 0xFF}, item + "5: cut short"},
        {"long item cut short", InCollection({0xFE, 0x05, 0x10, 0x00}), item + "4: cut short"},
        {"long item header cut short", {0xA1, 0x01, 0xC0, 0xFE, 0x05}, item + "3: cut short"},
        {"Pop without Push", InCollection({0xB4}), item + "4: pop without a push"},
        {"End Collection first", {0xC0, 0xA1, 0x01, 0xC0}, item + "1: end of a collection never opened"},
        {"collection never closed",
         {0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02},
         "report descriptor ends inside a collection"},
        {"main item outside a collection", Join({{0xA1, 0x01, 0xC0}, input8}),
         item + "6: main item outside any collection"},
        {"Report ID 0", InCollection({0x85, 0x00}), item + "4: report id 0, not 1 to 255"},
        {"Report ID 256", InCollection({0x86, 0x00, 0x01}), item + "4: report id 256, not 1 to 255"},
        {"reports with and without ids", InCollection(Join({input8, {0x85, 0x01}, input8})),
         "report descriptor numbers some reports, not all"},
        {"Pop back to no id", InCollection(Join({{0xA4, 0x85, 0x01}, input8, {0xB4}, input8})),
         "report descriptor numbers some reports, not all"},
        {"Usage Minimum above Maximum", InCollection({0x19, 0x05, 0x29, 0x01, 0x95, 0x01, 0x81, 0x02}),
         item + "5: usage minimum above its maximum"},
        {"Delimiter closed, never opened", InCollection({0xA9, 0x00}), item + "4: delimiter closes no open set"},
        {"Delimiter open at main item", InCollection(Join({{0xA9, 0x01}, input8})),
         item + "8: delimiter set open at its main item"},
        {"Push 16 deep", InCollection(Repeat({0xA4}, 16)), ""},
        {"Push 17 deep", InCollection(Repeat({0xA4}, 17)), item + "20: push nested over 16 deep"},
        {"item of 65536 bits", InCollection(big), ""},
        {"item of 65538 bits", InCollection({0x75, 0x02, 0x96, 0x01, 0x80, 0x81, 0x03}),
         item + "6: main item of 65538 bits, at most 65536"},
        {"Report Count over 0xFFFF", InCollection({0x75, 0x01, 0x97, 0x00, 0x00, 0x01, 0x00, 0x81, 0x03}),
         item + "6: report count 65536, at most 65535"},
        {"Report Size over 0xFFFF", InCollection({0x77, 0x00, 0x00, 0x01, 0x00, 0x95, 0x00, 0x81, 0x03}),
         item + "6: report size 65536, at most 65535"},
        {"report of 0xFFFF bytes", InCollection(Join({Repeat(big, 7), {0x75, 0x08, 0x96, 0xFE, 0x1F, 0x81, 0x03}})),
         ""},
        {"report of 0x10000 bytes", InCollection(Join({Repeat(big, 7), {0x75, 0x08, 0x96, 0xFF, 0x1F, 0x81, 0x03}})),
         item + "27: report of 65536 bytes, at most 65535"},
        {"1025 usages for one item", InCollection(Join({Repeat({0x09, 0x20}, 1025), {0x95, 0x01, 0x81, 0x02}})),
         item + "1028: over 1024 usages for one main item"},
        {"4096 value caps", InCollection(Repeat(caps1024, 4)), ""},
        {"4097 value caps", InCollection(Join({Repeat(caps1024, 4), input8})), item + "4115: over 4096 value controls"},
        {"4096 collections", InCollection(Repeat({0xA1, 0x00, 0xC0}, 4095)), ""},
        {"4097 collections", InCollection(Repeat({0xA1, 0x00, 0xC0}, 4096)), item + "8194: over 4096 collections"},
        {"trailing zero bytes and a reserved item", Join({InCollection(input8), {0x00, 0x00, 0xFC}}), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string why;
        Parsed p(HidP_ParseReportDescriptor(c.descriptor.data(), c.descriptor.size(), &why), &HidD_FreePreparsedData);
        EXPECT_EQ(p == nullptr, !c.refusal.empty());
        EXPECT_EQ(why, c.refusal);
        EXPECT_EQ(Parse(c.descriptor) == nullptr, !c.refusal.empty());
    }
    EXPECT_EQ(HidP_ParseReportDescriptor(nullptr, 10), nullptr);
}

}  // namespace
