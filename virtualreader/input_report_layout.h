// Input reports described by a list of fields: the report descriptor that
// declares them and reports that carry given values, built from the same
// list. The virtual reader lays out its descriptor and builds its swipes
// with it, and tests state report values by usage instead of byte offsets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "reader/reader_models.h"

namespace corvalt {

// One Input item on the card-data page. A count above 1 makes a value array
// of count elements.
struct InputField {
    uint16_t usage;
    uint8_t bitSize;  // 1 to 32
    uint16_t count;
};

class InputReportLayout {
public:
    // featureDataBytes adds an 8-bit command data array to the feature report,
    // of that many bytes, so the device also passes the command checks; 0
    // adds none.
    explicit InputReportLayout(std::vector<InputField> fields, uint16_t featureDataBytes = 63);

    // One application collection on the card-data page, the fields in order
    // as Input items, no report ids.
    std::vector<uint8_t> Descriptor() const;
    // The whole report, id byte included.
    size_t ReportLength() const;

    const std::vector<InputField>& Fields() const { return m_fields; }

private:
    std::vector<InputField> m_fields;
    uint16_t m_featureDataBytes;
};

// A report of a layout, all zeros until filled in. It keeps its own copy of
// the fields, so it may outlive the layout.
//
// Naming a usage the layout does not have, or more bytes than an array
// holds, is a mistake of the caller: asserted, and in a build without
// asserts the field is left alone or the bytes beyond it left out.
class InputReportBuilder {
public:
    explicit InputReportBuilder(const InputReportLayout& layout);

    // A single-value field.
    InputReportBuilder& Set(uint16_t usage, uint32_t value);
    // An array field from its first element: one byte per element, the rest
    // zero.
    InputReportBuilder& Set(uint16_t usage, std::string_view bytes);

    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    operator std::vector<uint8_t>() const { return m_bytes; }

private:
    // The field of the usage and its first bit, id byte included; nullptr
    // when the layout has none.
    const InputField* Find(uint16_t usage, size_t& bitOffset) const;
    void PutBits(size_t bitOffset, unsigned bitCount, uint32_t value);

    std::vector<InputField> m_fields;
    std::vector<uint8_t> m_bytes;
};

// The card-data fields of a reader model: decode statuses, lengths, the
// encode type and (where the model reports it) the card status as 8-bit
// values; three track arrays of trackBytes bytes; where the model reports
// the seal fields, the Stripeseal status and length as 32-bit values, a
// Stripeseal array of sealBytes, a serial number array of serialBytes and a
// 32-bit sequence counter.
std::vector<InputField> ReaderCardFields(const ReaderModel& model, uint16_t trackBytes = 110, uint16_t sealBytes = 64,
                                         uint16_t serialBytes = 16);
// The same for the model of a product id; a product without a row gets the
// fields every model has.
std::vector<InputField> ReaderCardFields(uint16_t productId, uint16_t trackBytes = 110, uint16_t sealBytes = 64,
                                         uint16_t serialBytes = 16);

}  // namespace corvalt
