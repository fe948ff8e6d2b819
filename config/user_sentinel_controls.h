// Which parts of the data-format group are usable for the current choice:
// the user sentinel controls only with the user format, the position and
// track only for a sentinel (not for "Toggle User"), the key controls only
// for "Specific ", the literal edit only for "Literal", and the track 3
// start sentinel only with a fixed format. The rule also checks "Enter"
// exactly when the user format is chosen. The window knows which controls
// make up each part.
#pragma once

namespace corvalt {

struct UserSentinelControlStates {
    bool m_userSentinel;         // "Enter", "User Sentinel Mode" and its radios, "User Define Track Sentinel"
    bool m_sentinelPlace;        // "Sentinel Position" and "Track" with their radios
    bool m_specificSentinel;     // "Specific Sentinel": Ctrl, Alt and the key edit
    bool m_literalSentinel;      // "Literal Sentinel:" and its edit
    bool m_track3StartSentinel;  // "Start Sentinel of Track 3" and its radios
    int m_enter;                 // the "Enter" check field: 1 or 0
};

// dataFormat and userSentinelMode are the radio indices of their groups.
UserSentinelControlStates UserSentinelControls(int dataFormat, int userSentinelMode);

}  // namespace corvalt
