#include "reader/input_report.h"

#include <algorithm>

namespace corvalt {

bool PollInputReport(ReaderConnection& c)
{
    // A read that failed earlier has closed the reader; nothing to read
    // until the poll opens it again.
    if (!c.IsOpen())
        return false;

    // The host's read never blocks: a read that came back pending is simply
    // made again, which picks up a report that has arrived since. The host
    // zero-fills the report after the bytes the device sent, so their count
    // is not needed.
    const size_t length = std::min<size_t>(c.Caps.InputReportByteLength, c.InputReport.size());
    size_t bytesRead = 0;
    switch (c.hDevice->ReadInput(c.InputReport.data(), length, &bytesRead)) {
    case HidReadStatus::Complete: return true;
    case HidReadStatus::Pending: return false;
    case HidReadStatus::Failed: break;
    }
    CloseFailedReader(c);
    return false;
}

}  // namespace corvalt
