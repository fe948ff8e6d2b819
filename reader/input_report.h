// Reading card-swipe input reports without ever blocking the window: each
// call either starts a read or looks again at the one that came back
// pending.
#pragma once

#include "reader/reader_connection.h"

namespace corvalt {

// True when a whole input report now lies in InputReport: the report id in
// byte 0 (0 when the reader numbers none), Caps.InputReportByteLength bytes
// in all. False while no report has arrived (the reader stays open), and
// false after a failed read, which closes the reader; the poll finds it
// again on a later tick.
bool PollInputReport(ReaderConnection& connection);

}  // namespace corvalt
