#include "cli/reader_recorder.h"

#include <vector>

#include "cli/cli_texts.h"
#include "cli/interface_ids.h"
#include "cli/stop_request.h"
#include "platform/hidp.h"
#include "recording/hid_recording.h"

namespace corvalt {

namespace {

// How often the reader is asked for a report.
constexpr uint32_t kReadIntervalMs = 10;
// Room for the longest report hidraw hands over, with its id byte.
constexpr size_t kReportRoom = 4096 + 1;

bool ReportsHaveIds(const std::vector<uint8_t>& descriptor)
{
    const UniquePreparsedData parsed(HidP_ParseReportDescriptor(descriptor.data(), descriptor.size()));
    return parsed && HidDescriptorUsesReportIds(parsed.get());
}

}  // namespace

int RecordReader(HidHost& host, Clock& clock, const RecordSettings& settings, std::ostream& file, std::ostream& err)
{
    std::vector<HidInterfaceInfo> interfaces;
    const HidInterfaceInfo* reader = nullptr;
    if (host.ListInterfaces(interfaces))
        for (const HidInterfaceInfo& info : interfaces)
            if (reader == nullptr && IsSupportedReader(InterfaceIds(host, info)))
                reader = &info;
    if (reader == nullptr) {
        err << kNoReaderToRecord << '\n' << std::flush;
        return kExitFailure;
    }
    std::unique_ptr<HidDevice> device = host.Open(reader->path, HidAccess::QueryOnly);
    HidRecording recording;
    HidAttributes ids;
    if (!device || !device->GetAttributes(ids) || !device->GetReportDescriptor(recording.descriptor)) {
        err << (device ? device->LastError() : host.LastError()).message << '\n' << std::flush;
        return kExitFailure;
    }
    recording.name = reader->name;
    recording.vendorId = ids.vendorId;
    recording.productId = ids.productId;
    // Reports go into the file as the wire carries them: the id byte only
    // when the descriptor numbers them.
    const size_t skip = ReportsHaveIds(recording.descriptor) ? 0 : 1;
    file << kRecordingComment << reader->path << '\n' << RecordingHeader(recording) << std::flush;

    err << kRecordingFrom << reader->path << " (" << IdsText(ids.vendorId, ids.productId) << ")\n" << std::flush;
    const uint64_t start = clock.NowMs();
    int recorded = 0;
    std::vector<uint8_t> buffer(kReportRoom);
    while (file && !StopRequested() && (settings.count == 0 || recorded < settings.count)) {
        if (settings.timeoutMs > 0 && clock.NowMs() - start >= settings.timeoutMs)
            return settings.count > 0 ? kExitFailure : kExitSuccess;
        size_t length = 0;
        const HidReadStatus status = device->ReadInput(buffer.data(), buffer.size(), &length);
        if (status == HidReadStatus::Failed) {
            err << device->LastError().message << '\n' << std::flush;
            return kExitFailure;
        }
        if (status == HidReadStatus::Pending) {
            clock.Sleep(kReadIntervalMs);
            continue;
        }
        const RecordedReport report{(clock.NowMs() - start) * 1000,
                                    std::vector<uint8_t>(buffer.begin() + static_cast<long>(std::min(skip, length)),
                                                         buffer.begin() + static_cast<long>(length))};
        file << RecordingEvent(report) << std::flush;
        ++recorded;
    }
    return file ? kExitSuccess : kExitFailure;
}

}  // namespace corvalt
