// --replay FILE: a simulated reader made from a recording. It is listed
// after the system's devices with the recording's ids and descriptor, and
// hands over the recorded input reports at their recorded times, counted
// from when it was made. Commands are answered as the virtual reader
// answers them: a recording holds no feature exchange.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/hid_host.h"
#include "recording/hid_recording.h"
#include "text/result.h"
#include "virtualreader/virtual_reader.h"

namespace corvalt {

// The replayed reader's place in the device list.
inline constexpr const char* kReplayedReaderPath = "replayed-reader";

// Whether the recording can be replayed: its report descriptor is one our
// parser accepts. The reason names what is wrong.
Result<void> CheckReplayable(const HidRecording& recording);

class ReplayedReaderHost final : public HidHost {
public:
    // The recording passed CheckReplayable.
    ReplayedReaderHost(HidHost& systemHost, HidRecording recording, Clock& clock);

    bool ListInterfaces(std::vector<HidInterfaceInfo>& interfaces) override;
    std::unique_ptr<HidDevice> Open(const std::string& path, HidAccess access) override;
    const HidError& LastError() const override { return *m_lastError; }

    // What every handle on the replayed reader shares.
    struct Replay {
        HidRecording recording;
        bool reportsHaveIds = false;
        Clock& clock;
        uint64_t startMs;
        size_t nextReport = 0;
        VirtualReader answers;  // the commands' answers
    };

private:
    HidHost& m_systemHost;
    std::shared_ptr<Replay> m_replay;
    HidError m_ownError;
    const HidError* m_lastError;
};

}  // namespace corvalt
