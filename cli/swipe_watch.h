// corvalt-cli watch: the window's reading mode in a shell. The window's
// poll finds the reader (again after an unplug), looks up its field sizes
// and reads its reports; each decoded swipe is written to standard output,
// as the window's card text or as a line of JSON. What the watch waits for
// goes to standard error. It may end after a number of swipes or a time.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "platform/clock.h"
#include "platform/hid_host.h"

namespace corvalt {

enum class SwipeFormat {
    kCardText,  // the window's text for the swipe, with the shell's line ends
    kJson,      // one JSON object a line (swipe_json.h)
};

struct WatchSettings {
    SwipeFormat format = SwipeFormat::kCardText;
    // Said instead of the window's "Attach Device" status while no reader
    // is there; empty for that status.
    std::string absentStatus;
    int count = 0;           // the watch ends after this many swipes; 0: no end
    uint64_t timeoutMs = 0;  // the watch ends after this long; 0: no end
    // Called while the virtual reader is the one read and has been read
    // empty: swipes its next card, or says there is none by returning false,
    // which ends the watch. None: the watch waits for swipes as they come.
    std::function<bool()> swipeVirtualReader;
    // The time of day a swipe is stamped with in JSON.
    std::function<std::chrono::system_clock::time_point()> wallClock = std::chrono::system_clock::now;
};

enum class WatchEnd {
    kCount,         // the swipes asked for were written
    kTimeout,       // the time was up first
    kStopped,       // a stop was requested (stop_request.h)
    kNoMoreSwipes,  // swipeVirtualReader had none left
};

// Runs until the count is reached, the time is up or a stop is requested.
WatchEnd WatchSwipes(HidHost& host, Clock& clock, const WatchSettings& settings, std::ostream& out, std::ostream& err);

}  // namespace corvalt
