// --replay FILE: a simulated reader made from a recording. It is listed
// after the system's devices with the recording's ids and descriptor, and
// hands over the recorded input reports in their order: at their recorded
// times, counted from when it was made, or one for each swipe the operator
// makes (the window's Virtual Reader). Commands are answered as the virtual
// reader answers them: a recording holds no feature exchange.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

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

// The file read (ReadHidRecordingFile) and checked (CheckReplayable); the
// reason names the file, and the line where the fault is one.
Result<HidRecording> ReadReplayableRecording(const std::filesystem::path& path);
// What the front ends write before that reason.
inline constexpr std::string_view kReplayRefused = "Cannot replay ";

// When the replayed reader hands over its next report.
enum class ReplayPace {
    kRecordedTimes,  // when its recorded time has come
    kSwipes,         // when SwipeNext makes it the next swipe
};

class ReplayedReaderHost final : public HidHost {
public:
    // The recording passed CheckReplayable.
    ReplayedReaderHost(HidHost& systemHost, HidRecording recording, Clock& clock,
                       ReplayPace pace = ReplayPace::kRecordedTimes);

    bool ListInterfaces(std::vector<HidInterfaceInfo>& interfaces) override;
    std::unique_ptr<HidDevice> Open(const std::string& path, HidAccess access) override;
    const HidError& LastError() const override { return *m_lastError; }

    const HidRecording& Recording() const { return m_replay->recording; }
    // ReplayPace::kSwipes: the next recorded report goes through the
    // reader, to be read in its turn after those swiped before it. False,
    // and nothing happens, once every report has been swiped.
    bool SwipeNext();
    // How many reports have been swiped so far.
    size_t ReportsSwiped() const { return m_replay->swiped; }

    // What every handle on the replayed reader shares.
    struct Replay {
        HidRecording recording;
        bool reportsHaveIds = false;
        Clock& clock;
        uint64_t startMs;
        ReplayPace pace;
        size_t nextReport = 0;
        size_t swiped = 0;  // ReplayPace::kSwipes: the reports that may be read
        VirtualReader answers;  // the commands' answers
    };

private:
    HidHost& m_systemHost;
    std::shared_ptr<Replay> m_replay;
    HidError m_ownError;
    const HidError* m_lastError;
};

}  // namespace corvalt
