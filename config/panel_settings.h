// The operator's choices in the configuration panels, as the window's data
// exchange saves them from and loads them into the controls. Radio fields
// hold the index of the checked button in its group (-1 when none is
// checked); check fields hold 0 (unchecked), 1 (checked) or 2 (indeterminate).
#pragma once

#include <string>

namespace corvalt {

struct PanelSettings {
    int m_nInterfaceMode = 0;           // group 1036: "Hid MSR", "Emulate Keyboard"
    int m_nTrack3StartSentinel = 1;     // group 1042: ";", "+", "#"
    int m_nDataFormat = 3;              // group 1046: 1046, 1047, 1048, 1049, 1060
    int m_bTrack1 = 0;                  // 1050
    int m_bTrack2 = 1;                  // 1051
    int m_bTrack3 = 0;                  // 1052
    int m_bCtrl = 0;                    // 1061
    int m_bAlt = 0;                     // 1062
    int m_bEnter = 0;                   // 1076
    int m_nSentinelPosition = 0;        // group 1068: "Start", "End"
    int m_nSentinelTrack = 0;           // group 1065: "1", "2", "3"
    std::string m_strSpecificSentinel;  // edit 1075, UTF-8
    std::string m_strLiteralSentinel;   // edit 1078, UTF-8
    int m_nUserSentinelMode = 0;        // group 1080: "Specific ", "Literal", "Toggle User"
    int m_nSendErrorString = 0;         // group 1085: "Enable", "Disable"
    int m_nErrorStringSentinel = 0;     // group 1088: "With Sentinel", "No Sentinel"
};

}  // namespace corvalt
