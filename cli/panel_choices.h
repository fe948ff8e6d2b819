// corvalt-cli set: the settings panels' choices as the command line gives
// them, and what the panels' Apply buttons send for them.
#pragma once

#include <string>
#include <vector>

#include "config/panel_settings.h"
#include "text/result.h"

namespace corvalt {

struct PanelChoices {
    // The panels' initial values, changed by the options given.
    PanelSettings settings;
    // The panels whose options were given: only they are sent.
    bool interfaceMode = false;        // "USB Hid Mode"
    bool tracks = false;               // "Select Track"
    bool dataFormat = false;           // "Magnetic Card Data Format"
    bool sendErrorString = false;      // "Send Error String"
    bool errorStringSentinel = false;  // "User Sentinel + Error String"
};

// What each given panel's Apply sends, one download for each, in the
// panels' order. Fails, sending nothing, when the data format's specific
// sentinel names no key: the panel would send nothing for it, and the
// command line must not be ignored.
Result<std::vector<std::vector<std::string>>> PanelDownloads(PanelChoices choices);

}  // namespace corvalt
