// corvalt-cli record: the reader's report descriptor and every input report
// it sends, with its time, in hid-recorder's text format
// (recording/hid_recording.h).
#pragma once

#include <cstdint>
#include <ostream>

#include "platform/clock.h"
#include "platform/hid_host.h"

namespace corvalt {

struct RecordSettings {
    int count = 0;           // ends after this many reports; 0: no end
    uint64_t timeoutMs = 0;  // ends after this long; 0: no end
};

// Records the first supported reader the host lists into the file until
// the count is reached, the time is up or a stop is requested. Returns the
// exit status: a failure when there is no reader, it cannot be read, it
// goes away, the file cannot be written (which the caller tells), or the
// time was up before the count was reached.
int RecordReader(HidHost& host, Clock& clock, const RecordSettings& settings, std::ostream& file, std::ostream& err);

}  // namespace corvalt
