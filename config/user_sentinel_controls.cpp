#include "config/user_sentinel_controls.h"

namespace corvalt {

UserSentinelControlStates UserSentinelControls(int dataFormat, int userSentinelMode)
{
    const bool user = dataFormat >= 4;
    const bool sentinel = user && userSentinelMode != 2;
    const bool specific = user && userSentinelMode == 0;
    const bool literal = user && userSentinelMode == 1;
    return {{{
                // "Enter", "User Sentinel Mode" and its radios, "User Define Track Sentinel"
                {1076, user},
                {1079, user},
                {1080, user},
                {1081, user},
                {1082, user},
                {1071, user},
                // "Sentinel Position" and "Track" with their radios
                {1072, sentinel},
                {1068, sentinel},
                {1069, sentinel},
                {1073, sentinel},
                {1065, sentinel},
                {1066, sentinel},
                {1067, sentinel},
                // "Specific Sentinel": Ctrl, Alt and the key edit
                {1074, specific},
                {1061, specific},
                {1062, specific},
                {1075, specific},
                // "Literal Sentinel:" and its edit
                {1077, literal},
                {1078, literal},
                // "Start Sentinel of Track 3" and its radios
                {1056, !user},
                {1042, !user},
                {1043, !user},
                {1044, !user},
            }},
            user ? 1 : 0};
}

}  // namespace corvalt
