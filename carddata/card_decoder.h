// Turning one card-swipe input report into the CardData record. Every field
// is read through the HID parser from the reader's own descriptor, by its
// usage (carddata/card_usages.h); no report byte is picked out by hand.
#pragma once

#include "carddata/card_data.h"
#include "reader/reader_connection.h"
#include "reader/reader_models.h"

namespace corvalt {

// Looks up the declared byte sizes of the data fields of the open reader:
// the three tracks and, for a model that reports the seal fields, the
// Stripeseal data and the serial number. Stops at the first field it cannot
// find; the sizes not looked up keep their values. Problems are left in
// LastErrorText.
void LoadDataUsageSizes(ReaderConnection& connection, CardData& card);

// Decodes the report in InputReport into card, field by field, the fields
// the reader model has (its row in reader/reader_models.h, found by
// Attributes.ProductID). False at the first field that cannot be read, with
// its message in LastErrorText; what was read before it stays in card.
bool DecodeCardReport(ReaderConnection& connection, CardData& card);
// The same for the fields of the given model row.
bool DecodeCardReport(ReaderConnection& connection, CardData& card, const ReaderModel& model);

}  // namespace corvalt
