// The data exchange: which window control each panel setting
// (config/panel_settings.h) is bound to.
#pragma once

#include <string>

#include "config/panel_settings.h"

namespace corvalt {

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
    {1036, &PanelSettings::m_nInterfaceMode},   {1042, &PanelSettings::m_nTrack3StartSentinel},
    {1046, &PanelSettings::m_nDataFormat},      {1068, &PanelSettings::m_nSentinelPosition},
    {1065, &PanelSettings::m_nSentinelTrack},   {1080, &PanelSettings::m_nUserSentinelMode},
    {1085, &PanelSettings::m_nSendErrorString}, {1088, &PanelSettings::m_nErrorStringSentinel},
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
