// The card readers this program drives: the vendor ids it accepts and one
// row per reader model, keyed by product id. Every part of the program that
// treats models differently reads this table: discovery, the poll's choice
// of mode, the decoder, the card text, the virtual reader, the udev rule's
// test.
#pragma once

#include <algorithm>
#include <cstdint>

namespace corvalt {

// How a model hands over a swipe.
enum class ReaderMode : uint8_t {
    kHid,       // as input reports, decoded by this program
    kKeyboard,  // as keystrokes typed into the focused window
};

struct ReaderModel {
    uint16_t productId;
    ReaderMode mode;
    bool reportsCardStatus;  // the swipe direction
    bool reportsSealFields;  // Stripeseal status, length and data, serial number, sequence counter
    bool virtualReaderCanBe;
};

// The first accepted vendor is the one the virtual reader presents.
inline constexpr uint16_t kAcceptedVendorIds[] = {0x0801, 0x1136};

// In the order the virtual reader's models are offered; the first one it can
// be is the one it is when none is named.
inline constexpr ReaderModel kReaderModels[] = {
    // product  mode                   status  seal   virtual
    {0x0002, ReaderMode::kHid, false, false, true},      {0x0003, ReaderMode::kHid, true, false, true},
    {0x3001, ReaderMode::kHid, true, false, true},       {0x0009, ReaderMode::kHid, false, true, true},
    {0x0001, ReaderMode::kKeyboard, false, false, true}, {0x3003, ReaderMode::kKeyboard, false, false, false},
};

// The row of a product id; nullptr for a product this program does not drive.
constexpr const ReaderModel* FindReaderModel(uint16_t productId)
{
    const auto* row = std::ranges::find(kReaderModels, productId, &ReaderModel::productId);
    return row != std::ranges::end(kReaderModels) ? row : nullptr;
}

// Vendor and product are tested apart: any accepted vendor with any model.
constexpr bool IsAcceptedVendor(uint16_t vendorId)
{
    return std::ranges::find(kAcceptedVendorIds, vendorId) != std::ranges::end(kAcceptedVendorIds);
}

constexpr bool IsAcceptedProduct(uint16_t productId)
{
    return FindReaderModel(productId) != nullptr;
}

// False for products this program does not drive.
constexpr bool ReportsCardStatus(uint16_t productId)
{
    const ReaderModel* model = FindReaderModel(productId);
    return model != nullptr && model->reportsCardStatus;
}

constexpr bool ReportsSealFields(uint16_t productId)
{
    const ReaderModel* model = FindReaderModel(productId);
    return model != nullptr && model->reportsSealFields;
}

}  // namespace corvalt
