// The command exchange with the reader: one feature report out, a short
// pause, one feature report back. A send that fails is retried once on a
// freshly discovered reader; any failure leaves the reader closed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "reader/reader_connection.h"

namespace corvalt {

// The pause between a command and the read of its answer.
constexpr uint32_t kFeatureAnswerWaitMs = 20;

// N: the bytes of a command or answer report on the wire, report id
// included, never more than the buffers hold.
size_t FeatureReportLength(const ReaderConnection& connection);

// Sends the N bytes of FeatureOut and reads the answer into FeatureIn.
// The outcome is ExchangeStatus; unless answered, the reader is closed.
// Expects an open reader whose feature report was verified.
void ExchangeFeatureReport(ReaderConnection& connection);

}  // namespace corvalt
