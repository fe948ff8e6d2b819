#include "config/user_sentinel_controls.h"

namespace corvalt {

UserSentinelControlStates UserSentinelControls(int dataFormat, int userSentinelMode)
{
    const bool user = dataFormat >= 4;
    return {
        .m_userSentinel = user,
        .m_sentinelPlace = user && userSentinelMode != 2,
        .m_specificSentinel = user && userSentinelMode == 0,
        .m_literalSentinel = user && userSentinelMode == 1,
        .m_track3StartSentinel = !user,
        .m_enter = user ? 1 : 0,
    };
}

}  // namespace corvalt
