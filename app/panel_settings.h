// The operator's choices in the configuration panels, as the window's data
// exchange saves them from and loads them into the controls. Radio fields
// hold the index of the checked button in its group (-1 when none is
// checked); check fields hold 0 (unchecked), 1 (checked) or 2 (indeterminate).
#pragma once

#include <string>

namespace corvalt {

struct PanelSettings {
    int m_nInterfaceMode = 0;        // group 1036: "Hid MSR", "Emulate Keyboard"
    int m_nTrack3StartSentinel = 1;  // group 1042: ";", "+", "#"
    int m_nDataFormat = 3;           // group 1046: 1046, 1047, 1048, 1049, 1060
    int m_bTrack1 = 0;               // 1050
    int m_bTrack2 = 1;               // 1051
    int m_bTrack3 = 0;               // 1052
    int m_bCtrl = 0;                 // 1061
    int m_bAlt = 0;                  // 1062
    int m_bEnter = 0;                // 1076
    int m_nSentinelPosition = 0;     // group 1068: "Start", "End"
    int m_nSentinelTrack = 0;        // group 1065: "1", "2", "3"
    std::string m_strSpecificSentinel;  // edit 1075, UTF-8
    std::string m_strLiteralSentinel;   // edit 1078, UTF-8
    int m_nUserSentinelMode = 0;     // group 1080: "Specific ", "Literal", "Toggle User"
    int m_nSendErrorString = 0;      // group 1085: "Enable", "Disable"
    int m_nErrorStringSentinel = 0;  // group 1088: "With Sentinel", "No Sentinel"
};

// Which control each field is bound to, in the order of the data exchange.
struct IntBinding {
    int controlId;  // a radio group's first button, or a check box
    int PanelSettings::*field;
};
struct TextBinding {
    int controlId;
    std::string PanelSettings::*field;
};

inline constexpr IntBinding kRadioBindings[] = {
    {1036, &PanelSettings::m_nInterfaceMode},    {1042, &PanelSettings::m_nTrack3StartSentinel},
    {1046, &PanelSettings::m_nDataFormat},       {1068, &PanelSettings::m_nSentinelPosition},
    {1065, &PanelSettings::m_nSentinelTrack},    {1080, &PanelSettings::m_nUserSentinelMode},
    {1085, &PanelSettings::m_nSendErrorString},  {1088, &PanelSettings::m_nErrorStringSentinel},
};

inline constexpr IntBinding kCheckBindings[] = {
    {1050, &PanelSettings::m_bTrack1}, {1051, &PanelSettings::m_bTrack2}, {1052, &PanelSettings::m_bTrack3},
    {1061, &PanelSettings::m_bCtrl},   {1062, &PanelSettings::m_bAlt},    {1076, &PanelSettings::m_bEnter},
};

inline constexpr TextBinding kTextBindings[] = {
    {1075, &PanelSettings::m_strSpecificSentinel},
    {1078, &PanelSettings::m_strLiteralSentinel},
};

}  // namespace corvalt
