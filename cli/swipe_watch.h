// corvalt-cli watch: the window's reading mode in a shell. The window's
// poll finds the reader (again after an unplug), looks up its field sizes
// and reads its reports; each decoded swipe is written to standard output,
// as the window's card text or as a line of JSON. What the watch waits for
// goes to standard error.
#pragma once

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
};

// Runs until a stop is requested (stop_request.h).
void WatchSwipes(HidHost& host, Clock& clock, const WatchSettings& settings, std::ostream& out, std::ostream& err);

}  // namespace corvalt
