#include "carddata/card_decoder.h"

#include <algorithm>
#include <cstdio>
#include <span>
#include <string_view>

#include "carddata/card_usages.h"
#include "platform/hidp.h"
#include "reader/reader_models.h"

namespace corvalt {

namespace {

constexpr uint16_t kAnyCollection = 0;

// A product without a row is decoded for the fields every model has.
constexpr ReaderModel kFieldsOfEveryModel{0, ReaderMode::kHid, false, false, false};

// The declared size of one data field and the messages of its lookup.
struct SizeLookup {
    uint16_t usage;
    uint16_t CardData::*size;
    const char* callFailure;  // %02X: the low byte of the parser's status
    const char* notFound;
};

constexpr SizeLookup kTrackSizes[] = {
    {kTrackDataUsages[0], &CardData::Tk1DataSize, "%02X HidP_GetSpecificValueCaps Failed on Track 1 data usage",
     "HidP_GetSpecificValueCaps Failed to find Track 1 data usage"},
    {kTrackDataUsages[1], &CardData::Tk2DataSize, "%02X HidP_GetSpecificValueCaps Failed on Track 2 data usage",
     "HidP_GetSpecificValueCaps Failed to find Track 2 data usage"},
    {kTrackDataUsages[2], &CardData::Tk3DataSize, "%02X HidP_GetSpecificValueCaps Failed on Track 3 data usage",
     "HidP_GetSpecificValueCaps Failed to find Track 3 data usage"},
};

constexpr SizeLookup kSealedReaderSizes[] = {
    {kStripesealDataUsage, &CardData::StripesealDataSize,
     "%02X HidP_GetSpecificValueCaps Failed on Stripeseal data usage",
     "HidP_GetSpecificValueCaps Failed to find Stripeseal data usage"},
    {kSerialNumberUsage, &CardData::SerialNumberSize,
     "%02X HidP_GetSpecificValueCaps Failed on device serial number usage",
     "HidP_GetSpecificValueCaps Failed to find device serial number usage"},
};

// False when the field was not found: the lookup stops there.
bool LookUpSize(ReaderConnection& c, CardData& card, const SizeLookup& lookup)
{
    HIDP_VALUE_CAPS caps{};
    uint16_t count = 1;
    const NTSTATUS status = HidP_GetSpecificValueCaps(HidP_Input, kCardDataPage, kAnyCollection, lookup.usage, &caps,
                                                      &count, c.pPreparsedData.get());
    if (status != HIDP_STATUS_SUCCESS) {
        char text[96];
        std::snprintf(text, sizeof text, lookup.callFailure, static_cast<unsigned>(status & 0xFF));
        c.LastErrorText = text;
    }
    if (count != 1) {
        c.LastErrorText = lookup.notFound;
        return false;
    }
    card.*lookup.size = caps.ReportCount;
    return true;
}

// Reads the field values one at a time, each failure ending the decode with
// its message.
class FieldReader {
public:
    FieldReader(ReaderConnection& connection) : m_connection(connection) {}

    bool Value(uint16_t usage, uint32_t& value, const char* failure)
    {
        uint32_t read = 0;
        const NTSTATUS status =
            HidP_GetUsageValue(HidP_Input, kCardDataPage, kAnyCollection, usage, &read,
                               m_connection.pPreparsedData.get(), m_connection.InputReport.data(), ReportLength());
        if (status != HIDP_STATUS_SUCCESS)
            return Fail(failure);
        value = read;
        return true;
    }

    // Reads a value array of its declared size. A declared size beyond the
    // field's room is passed as the room, so the parser refuses the read
    // instead of writing past the field.
    bool Array(uint16_t usage, std::span<uint8_t> field, uint16_t declaredSize, const char* failure)
    {
        const auto length = static_cast<uint16_t>(std::min<size_t>(declaredSize, field.size()));
        const NTSTATUS status =
            HidP_GetUsageValueArray(HidP_Input, kCardDataPage, kAnyCollection, usage, field.data(), length,
                                    m_connection.pPreparsedData.get(), m_connection.InputReport.data(), ReportLength());
        if (status != HIDP_STATUS_SUCCESS)
            return Fail(failure);
        return true;
    }

private:
    uint32_t ReportLength() const
    {
        return std::min<uint32_t>(m_connection.Caps.InputReportByteLength,
                                  static_cast<uint32_t>(m_connection.InputReport.size()));
    }
    bool Fail(const char* failure)
    {
        m_connection.LastErrorText = failure;
        return false;
    }

    ReaderConnection& m_connection;
};

// The first `length` bytes of the field, one character each. A length
// beyond the field's declared size stops there: the bytes after it were not
// in this report but left in the record, perhaps by a reader with larger
// fields. The field's room bounds it as well.
void TakeCounted(std::string& text, std::span<const uint8_t> field, uint16_t declaredSize, uint32_t length)
{
    const size_t count = std::min({static_cast<size_t>(length), static_cast<size_t>(declaredSize), field.size()});
    text.assign(field.begin(), field.begin() + static_cast<std::ptrdiff_t>(count));
}

// The bytes before the first zero, at most `size` of them.
void TakeUpToZero(std::string& text, std::span<const uint8_t> field, uint16_t size)
{
    const auto limit = field.first(std::min<size_t>(size, field.size()));
    text.assign(limit.begin(), std::ranges::find(limit, uint8_t{0}));
}

bool DecodeTracks(FieldReader& read, CardData& card)
{
    return read.Value(kTrackDecodeStatusUsages[0], card.Tk1DcdSts, "HidP_GetUsageValue Failed on Tk1DcdSts") &&
           read.Value(kTrackDecodeStatusUsages[1], card.Tk2DcdSts, "HidP_GetUsageValue Failed on Tk2DcdSts") &&
           read.Value(kTrackDecodeStatusUsages[2], card.Tk3DcdSts, "HidP_GetUsageValue Failed on Tk3DcdSts") &&
           read.Value(kTrackLengthUsages[0], card.Tk1Len, "HidP_GetUsageValue Failed on Tk1Len") &&
           read.Value(kTrackLengthUsages[1], card.Tk2Len, "HidP_GetUsageValue Failed on Tk2Len") &&
           read.Value(kTrackLengthUsages[2], card.Tk3Len, "HidP_GetUsageValue Failed on Tk3Len");
}

bool DecodeTrackData(FieldReader& read, CardData& card)
{
    if (!read.Array(kTrackDataUsages[0], card.Tk1Data, card.Tk1DataSize, "HidP_GetUsageValueArray Failed on Tk1Data"))
        return false;
    TakeCounted(card.Track1Text, card.Tk1Data, card.Tk1DataSize, card.Tk1Len);
    if (!read.Array(kTrackDataUsages[1], card.Tk2Data, card.Tk2DataSize, "HidP_GetUsageValueArray Failed on Tk2Data"))
        return false;
    TakeCounted(card.Track2Text, card.Tk2Data, card.Tk2DataSize, card.Tk2Len);
    if (!read.Array(kTrackDataUsages[2], card.Tk3Data, card.Tk3DataSize, "HidP_GetUsageValueArray Failed on Tk3Data"))
        return false;
    TakeCounted(card.Track3Text, card.Tk3Data, card.Tk3DataSize, card.Tk3Len);
    return true;
}

bool DecodeSealedReaderFields(FieldReader& read, CardData& card)
{
    if (!read.Value(kStripesealStatusUsage, card.StripesealSts, "HidP_GetUsageValue Failed on StripesealSts") ||
        !read.Value(kStripesealLengthUsage, card.StripesealLen, "HidP_GetUsageValue Failed on StripesealLen") ||
        !read.Array(kStripesealDataUsage, card.StripesealData, card.StripesealDataSize,
                    "HidP_GetUsageValueArray Failed on StripesealData"))
        return false;
    TakeCounted(card.StripesealText, card.StripesealData, card.StripesealDataSize, card.StripesealLen);
    if (!read.Array(kSerialNumberUsage, card.DeviceSerialNumberData, card.SerialNumberSize,
                    "HidP_GetUsageValueArray Failed on DeviceSerialNumberData"))
        return false;
    TakeUpToZero(card.SerialNumberText, card.DeviceSerialNumberData, card.SerialNumberSize);
    uint32_t counter = 0;
    if (!read.Value(kSequenceCounterUsage, counter, "HidP_GetUsageValue Failed on SequenceCounter"))
        return false;
    card.SequenceCounter = static_cast<int32_t>(counter);
    return true;
}

}  // namespace

void LoadDataUsageSizes(ReaderConnection& c, CardData& card)
{
    for (const SizeLookup& lookup : kTrackSizes)
        if (!LookUpSize(c, card, lookup))
            return;
    if (!ReportsSealFields(c.Attributes.ProductID))
        return;
    for (const SizeLookup& lookup : kSealedReaderSizes)
        if (!LookUpSize(c, card, lookup))
            return;
}

bool DecodeCardReport(ReaderConnection& c, CardData& card)
{
    const ReaderModel* model = FindReaderModel(c.Attributes.ProductID);
    return DecodeCardReport(c, card, model != nullptr ? *model : kFieldsOfEveryModel);
}

bool DecodeCardReport(ReaderConnection& c, CardData& card, const ReaderModel& model)
{
    FieldReader read(c);
    if (!DecodeTracks(read, card) || !DecodeTrackData(read, card) ||
        !read.Value(kEncodeTypeUsage, card.CrdEcdTyp, "HidP_GetUsageValue Failed on CrdEcdTyp"))
        return false;
    if (model.reportsCardStatus && !read.Value(kCardStatusUsage, card.CardSts, "HidP_GetUsageValue Failed on CardSts"))
        return false;
    return !model.reportsSealFields || DecodeSealedReaderFields(read, card);
}

}  // namespace corvalt
