// The configuration controls that are switched on and off as one block: when
// the mode changes and around a download of the command list. The top area
// (transcript, mode radios, Clear Dialog, status frame) is not in it, nor are
// the user-sentinel controls, whose state follows the data-format choice:
// the parts of the data-format group, below.
#pragma once

#include <array>
#include <span>

#include "config/user_sentinel_controls.h"

namespace corvalt {

inline constexpr std::array<int, 36> kConfigControlIds = {
    1034, 1030, 1016, 1031, 1026, 1024, 1027, 1054, 1037, 1036, 1035, 1055, 1050, 1051, 1052, 1041, 1058, 1056,
    1042, 1043, 1044, 1057, 1046, 1047, 1048, 1049, 1060, 1053, 1083, 1085, 1086, 1087, 1084, 1088, 1089, 1090,
};

// The radios that run the data-format group's enable rule when clicked: the
// formats and the user sentinel modes. The rule's other controls do not.
inline constexpr int kUserSentinelRuleRadioIds[] = {1046, 1047, 1048, 1049, 1060, 1080, 1081, 1082};

// The controls of each part of the data-format group that the enable rule
// (config/user_sentinel_controls.h) switches on and off, in the order they
// are set.
struct DataFormatPart {
    bool UserSentinelControlStates::*m_enabled;
    std::span<const int> m_ids;
};
inline constexpr int kUserSentinelPartIds[] = {1076, 1079, 1080, 1081, 1082, 1071};
inline constexpr int kSentinelPlacePartIds[] = {1072, 1068, 1069, 1073, 1065, 1066, 1067};
inline constexpr int kSpecificSentinelPartIds[] = {1074, 1061, 1062, 1075};
inline constexpr int kLiteralSentinelPartIds[] = {1077, 1078};
inline constexpr int kTrack3StartSentinelPartIds[] = {1056, 1042, 1043, 1044};
inline constexpr DataFormatPart kDataFormatParts[] = {
    {&UserSentinelControlStates::m_userSentinel, kUserSentinelPartIds},
    {&UserSentinelControlStates::m_sentinelPlace, kSentinelPlacePartIds},
    {&UserSentinelControlStates::m_specificSentinel, kSpecificSentinelPartIds},
    {&UserSentinelControlStates::m_literalSentinel, kLiteralSentinelPartIds},
    {&UserSentinelControlStates::m_track3StartSentinel, kTrack3StartSentinelPartIds},
};

}  // namespace corvalt
