#include "recording/replayed_reader_host.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstring>

#include "platform/hidp.h"
#include "text/path_text.h"

namespace corvalt {

namespace {

class ReplayedReaderDevice final : public HidDevice {
public:
    explicit ReplayedReaderDevice(std::shared_ptr<ReplayedReaderHost::Replay> replay) : m_replay(std::move(replay)) {}

    bool GetAttributes(HidAttributes& attributes) override
    {
        m_error = {};
        attributes = {m_replay->recording.vendorId, m_replay->recording.productId, 0};
        return true;
    }
    bool GetReportDescriptor(std::vector<uint8_t>& descriptor) override
    {
        m_error = {};
        descriptor = m_replay->recording.descriptor;
        return true;
    }
    bool SetFeature(const uint8_t* report, size_t length) override
    {
        if (!CheckBuffer(report, length))
            return false;
        m_replay->answers.ReceiveFeature({report, length});
        return true;
    }
    bool GetFeature(uint8_t* report, size_t length) override
    {
        if (!CheckBuffer(report, length))
            return false;
        const std::vector<uint8_t> answer = m_replay->answers.FeatureAnswer();
        std::memset(report, 0, length);
        std::memcpy(report, answer.data(), std::min(answer.size(), length));
        return true;
    }
    HidReadStatus ReadInput(uint8_t* buffer, size_t length, size_t* bytesRead) override
    {
        if (!CheckBuffer(buffer, length))
            return HidReadStatus::Failed;
        ReplayedReaderHost::Replay& replay = *m_replay;
        const std::vector<RecordedReport>& reports = replay.recording.reports;
        const bool due = replay.pace == ReplayPace::kSwipes
                             ? replay.nextReport < replay.swiped
                             : replay.nextReport < reports.size() &&
                                   replay.clock.NowMs() - replay.startMs >= reports[replay.nextReport].microseconds / 1000;
        if (!due) {
            m_error = ErrnoHidError(EAGAIN, "no report yet");
            return HidReadStatus::Pending;
        }
        const std::vector<uint8_t>& report = reports[replay.nextReport++].bytes;
        // The id byte in front, 0 when the descriptor numbers no reports.
        const size_t idBytes = replay.reportsHaveIds ? 0 : 1;
        const size_t count = std::min(report.size() + idBytes, length);
        std::memset(buffer, 0, length);
        std::memcpy(buffer + idBytes, report.data(), count - idBytes);
        if (bytesRead != nullptr)
            *bytesRead = count;
        return HidReadStatus::Complete;
    }
    const HidError& LastError() const override { return m_error; }

private:
    bool CheckBuffer(const void* buffer, size_t length)
    {
        m_error = {};
        if (buffer != nullptr && length >= 2)
            return true;
        m_error = ErrnoHidError(EINVAL, std::string(kReplayedReaderPath) + ": " + std::strerror(EINVAL));
        return false;
    }

    std::shared_ptr<ReplayedReaderHost::Replay> m_replay;
    HidError m_error;
};

}  // namespace

Result<void> CheckReplayable(const HidRecording& recording)
{
    std::string refused;
    const UniquePreparsedData parsed(
        HidP_ParseReportDescriptor(recording.descriptor.data(), recording.descriptor.size(), &refused));
    if (!parsed)
        return Failure{"its report descriptor is refused: " + refused};
    return {};
}

Result<HidRecording> ReadReplayableRecording(const std::filesystem::path& path)
{
    Result<HidRecording> recording = ReadHidRecordingFile(path);
    if (!recording.Succeeded())
        return recording;
    const Result<void> replayable = CheckReplayable(recording.m_value);
    if (!replayable.Succeeded())
        return Failure{"\"" + PathText(path) + "\", " + replayable.m_reason};
    return recording;
}

ReplayedReaderHost::ReplayedReaderHost(HidHost& systemHost, HidRecording recording, Clock& clock, ReplayPace pace)
    : m_systemHost(systemHost), m_lastError(&m_ownError)
{
    const UniquePreparsedData parsed(
        HidP_ParseReportDescriptor(recording.descriptor.data(), recording.descriptor.size()));
    const bool reportsHaveIds = parsed && HidDescriptorUsesReportIds(parsed.get());
    const uint64_t now = clock.NowMs();
    m_replay = std::make_shared<Replay>(
        Replay{std::move(recording), reportsHaveIds, clock, now, pace, 0, 0, VirtualReader(kDefaultHidProductId, clock)});
}

bool ReplayedReaderHost::SwipeNext()
{
    assert(m_replay->pace == ReplayPace::kSwipes);
    if (m_replay->swiped == m_replay->recording.reports.size())
        return false;
    ++m_replay->swiped;
    return true;
}

bool ReplayedReaderHost::ListInterfaces(std::vector<HidInterfaceInfo>& interfaces)
{
    m_lastError = &m_systemHost.LastError();
    if (!m_systemHost.ListInterfaces(interfaces))
        interfaces.clear();
    const HidRecording& recording = m_replay->recording;
    interfaces.push_back({kReplayedReaderPath, true, recording.vendorId, recording.productId, recording.name});
    m_ownError = {};
    m_lastError = &m_ownError;
    return true;
}

std::unique_ptr<HidDevice> ReplayedReaderHost::Open(const std::string& path, HidAccess access)
{
    if (path != kReplayedReaderPath) {
        m_lastError = &m_systemHost.LastError();
        return m_systemHost.Open(path, access);
    }
    m_ownError = {};
    m_lastError = &m_ownError;
    return std::make_unique<ReplayedReaderDevice>(m_replay);
}

}  // namespace corvalt
