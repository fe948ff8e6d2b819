// Turning one card-swipe input report into the CardData record. Every field
// is read through the HID parser from the reader's own descriptor (values
// on the vendor page 0xFF00); no report byte is picked out by hand.
#pragma once

#include "carddata/card_data.h"
#include "reader/reader_connection.h"

namespace corvalt {

// Looks up the declared byte sizes of the data fields of the open reader:
// the three tracks and, for product id 0x0009, the Stripeseal data and the
// serial number. Stops at the first field it cannot find; the sizes not
// looked up keep their values. Problems are left in LastErrorText.
void LoadDataUsageSizes(ReaderConnection& connection, CardData& card);

// Decodes the report in InputReport into card, field by field, the fields
// the reader model has (by Attributes.ProductID). False at the first field
// that cannot be read, with its message in LastErrorText; what was read
// before it stays in card.
bool DecodeCardReport(ReaderConnection& connection, CardData& card);

}  // namespace corvalt
