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
    // made again, which picks up a report that has arrived since.
    const size_t length = std::min<size_t>(c.Caps.InputReportByteLength, c.InputReport.size());
    size_t bytesRead = 0;
    switch (c.hDevice->ReadInput(c.InputReport.data(), length, &bytesRead)) {
    case HidReadStatus::Complete:
        c.BytesRead = static_cast<uint32_t>(bytesRead);
        c.bReadPending = false;
        return true;
    case HidReadStatus::Pending:
        c.bReadPending = true;
        return false;
    case HidReadStatus::Failed:
        break;
    }
    CloseFailedReader(c);
    return false;
}

}  // namespace corvalt
