// Which controls of the data-format group are usable for the current
// choice: the user sentinel controls only with the user format, the
// position and track only for a sentinel (not for "Toggle User"), the key
// controls only for "Specific ", the literal edit only for "Literal", and
// the track 3 start sentinel only with a fixed format. The rule also checks
// "Enter" exactly when the user format is chosen.
#pragma once

#include <array>

namespace corvalt {

struct ControlEnable {
    int id;
    bool enabled;
};

struct UserSentinelControlStates {
    std::array<ControlEnable, 23> controls;  // in the order they are set
    int enter;                               // the "Enter" check field: 1 or 0
};

// dataFormat and userSentinelMode are the radio indices of their groups.
UserSentinelControlStates UserSentinelControls(int dataFormat, int userSentinelMode);

}  // namespace corvalt
