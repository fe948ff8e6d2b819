// Reads arbitrary bytes as a recording in hid-recorder's text format. Beyond
// the sanitizers' checks it traps when a recording that was read, written
// back and read again differs in its ids, its descriptor or its reports: a
// recording made here must be read back as it was made.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "recording/hid_recording.h"

namespace {

using corvalt::fuzz::check;

using namespace corvalt;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Result<HidRecording> read = ParseHidRecording(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!read.Succeeded())
        return 0;
    std::string written = RecordingHeader(read.m_value);
    for (const RecordedReport& report : read.m_value.reports)
        written += RecordingEvent(report);
    const Result<HidRecording> again = ParseHidRecording(written);
    check(again.Succeeded());
    check(again.m_value.bus == read.m_value.bus);
    check(again.m_value.vendorId == read.m_value.vendorId);
    check(again.m_value.productId == read.m_value.productId);
    check(again.m_value.descriptor == read.m_value.descriptor);
    check(again.m_value.reports.size() == read.m_value.reports.size());
    for (size_t i = 0; i < read.m_value.reports.size(); ++i) {
        check(again.m_value.reports[i].microseconds == read.m_value.reports[i].microseconds);
        check(again.m_value.reports[i].bytes == read.m_value.reports[i].bytes);
    }
    return 0;
}
