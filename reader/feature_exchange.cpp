#include "reader/feature_exchange.h"

#include <algorithm>

namespace corvalt {

namespace {

bool SendFeatureOut(ReaderConnection& c)
{
    const size_t length = FeatureReportLength(c);
    return c.IsOpen() && length >= 2 && c.hDevice->SetFeature(c.FeatureOut.data(), length);
}

// A failed send may mean the reader was replugged or reset: find it again
// and try once more.
bool ResendOnReopenedReader(ReaderConnection& c)
{
    CloseFailedReader(c);
    OpenReader(c);
    if (!c.IsOpen())
        return false;
    if (SendFeatureOut(c))
        return true;
    CloseFailedReader(c);
    return false;
}

}  // namespace

size_t FeatureReportLength(const ReaderConnection& c)
{
    return std::min<size_t>(c.Caps.FeatureReportByteLength, kFeatureReportCapacity);
}

void ExchangeFeatureReport(ReaderConnection& c)
{
    c.ExchangeStatus = ExchangeOutcome::kAnswered;
    if (!SendFeatureOut(c) && !ResendOnReopenedReader(c)) {
        c.ExchangeStatus = ExchangeOutcome::kNotDelivered;
        return;
    }

    c.clock.Sleep(kFeatureAnswerWaitMs);

    const size_t length = FeatureReportLength(c);
    std::fill_n(c.FeatureIn.begin(), length, uint8_t{0});
    if (!c.hDevice->GetFeature(c.FeatureIn.data(), length)) {
        c.ExchangeStatus = ExchangeOutcome::kNoAnswer;
        CloseFailedReader(c);
    }
}

}  // namespace corvalt
