#include "virtualreader/input_report_layout.h"

#include <cassert>

#include "carddata/card_usages.h"

namespace corvalt {

namespace {

void AppendLittleEndian(std::vector<uint8_t>& d, uint32_t value, unsigned bytes)
{
    for (unsigned i = 0; i < bytes; ++i)
        d.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void AppendArrayItem(std::vector<uint8_t>& d, uint8_t usage, uint16_t count, uint8_t mainItem)
{
    d.insert(d.end(), {0x75, 0x08, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x96});  // 8 bits, 0..255, count:
    AppendLittleEndian(d, count, 2);
    d.insert(d.end(), {0x09, usage, mainItem, 0x02});  // Usage, Input/Feature (Data,Var,Abs)
}

}  // namespace

InputReportLayout::InputReportLayout(std::vector<InputField> fields, uint16_t featureDataBytes)
    : m_fields(std::move(fields)), m_featureDataBytes(featureDataBytes)
{
}

std::vector<uint8_t> InputReportLayout::Descriptor() const
{
    std::vector<uint8_t> d = {0x06};  // Usage Page (16-bit)
    AppendLittleEndian(d, kCardDataPage, 2);
    d.insert(d.end(), {0x09, 0x01, 0xA1, 0x01});  // Usage (0x01), Collection (Application)
    for (const InputField& field : m_fields) {
        const uint32_t logicalMax = field.bitSize >= 31 ? 0x7FFFFFFFu : (1u << field.bitSize) - 1;
        d.insert(d.end(), {0x75, field.bitSize, 0x15, 0x00, 0x27});  // Report Size, Logical Minimum 0, Logical Maximum:
        AppendLittleEndian(d, logicalMax, 4);
        d.push_back(0x96);  // Report Count
        AppendLittleEndian(d, field.count, 2);
        d.insert(d.end(), {0x0A});  // Usage (16-bit)
        AppendLittleEndian(d, field.usage, 2);
        d.insert(d.end(), {0x81, 0x02});  // Input (Data,Var,Abs)
    }
    if (m_featureDataBytes > 0)
        AppendArrayItem(d, kCommandDataUsage, m_featureDataBytes, 0xB1);
    d.push_back(0xC0);  // End Collection
    return d;
}

size_t InputReportLayout::ReportLength() const
{
    size_t bits = 8;
    for (const InputField& field : m_fields)
        bits += size_t{field.bitSize} * field.count;
    return (bits + 7) / 8;
}

InputReportBuilder::InputReportBuilder(const InputReportLayout& layout)
    : m_fields(layout.Fields()), m_bytes(layout.ReportLength(), 0)
{
}

const InputField* InputReportBuilder::Find(uint16_t usage, size_t& bitOffset) const
{
    bitOffset = 8;
    for (const InputField& field : m_fields) {
        if (field.usage == usage)
            return &field;
        bitOffset += size_t{field.bitSize} * field.count;
    }
    return nullptr;
}

InputReportBuilder& InputReportBuilder::Set(uint16_t usage, uint32_t value)
{
    size_t first = 0;
    const InputField* field = Find(usage, first);
    assert(field != nullptr && "the layout has no field of this usage");
    if (field != nullptr)
        PutBits(first, field->bitSize, value);
    return *this;
}

InputReportBuilder& InputReportBuilder::Set(uint16_t usage, std::string_view bytes)
{
    size_t first = 0;
    const InputField* field = Find(usage, first);
    assert(field != nullptr && "the layout has no field of this usage");
    if (field == nullptr)
        return *this;
    assert(bytes.size() <= field->count && "more bytes than the field holds");
    for (size_t i = 0; i < field->count; ++i) {
        const uint8_t byte = i < bytes.size() ? static_cast<uint8_t>(bytes[i]) : 0;
        PutBits(first + i * field->bitSize, field->bitSize, byte);
    }
    return *this;
}

void InputReportBuilder::PutBits(size_t bitOffset, unsigned bitCount, uint32_t value)
{
    for (unsigned i = 0; i < bitCount; ++i) {
        const size_t bit = bitOffset + i;
        const uint8_t mask = static_cast<uint8_t>(1u << (bit % 8));
        if (i < 32 && ((value >> i) & 1u) != 0)
            m_bytes[bit / 8] |= mask;
        else
            m_bytes[bit / 8] &= static_cast<uint8_t>(~mask);
    }
}

std::vector<InputField> ReaderCardFields(const ReaderModel& model, uint16_t trackBytes, uint16_t sealBytes,
                                         uint16_t serialBytes)
{
    std::vector<InputField> fields;
    for (uint16_t usage : kTrackDecodeStatusUsages)
        fields.push_back({usage, 8, 1});
    for (uint16_t usage : kTrackLengthUsages)
        fields.push_back({usage, 8, 1});
    for (uint16_t usage : kTrackDataUsages)
        fields.push_back({usage, 8, trackBytes});
    fields.push_back({kEncodeTypeUsage, 8, 1});
    if (model.reportsCardStatus)
        fields.push_back({kCardStatusUsage, 8, 1});
    if (model.reportsSealFields) {
        fields.insert(fields.end(), {
                                        {kStripesealStatusUsage, 32, 1},
                                        {kStripesealLengthUsage, 32, 1},
                                        {kStripesealDataUsage, 8, sealBytes},
                                        {kSerialNumberUsage, 8, serialBytes},
                                        {kSequenceCounterUsage, 32, 1},
                                    });
    }
    return fields;
}

std::vector<InputField> ReaderCardFields(uint16_t productId, uint16_t trackBytes, uint16_t sealBytes,
                                         uint16_t serialBytes)
{
    const ReaderModel* model = FindReaderModel(productId);
    const ReaderModel noModel{productId, ReaderMode::kHid, false, false, false};
    return ReaderCardFields(model != nullptr ? *model : noModel, trackBytes, sealBytes, serialBytes);
}

}  // namespace corvalt
