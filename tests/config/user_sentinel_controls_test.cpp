#include "config/user_sentinel_controls.h"

#include <gtest/gtest.h>

#include <tuple>

namespace corvalt {
namespace {

auto Parts(const UserSentinelControlStates& s)
{
    return std::tuple(s.m_userSentinel, s.m_sentinelPlace, s.m_specificSentinel, s.m_literalSentinel,
                      s.m_track3StartSentinel);
}

TEST(UserSentinelControlsTest, EveryFormatAndModeCombination)
{
    for (int format = 0; format <= 4; ++format) {
        for (int mode = 0; mode <= 2; ++mode) {
            SCOPED_TRACE(::testing::Message() << "format " << format << ", mode " << mode);
            // user sentinel, position and track, specific, literal, track 3 start sentinel
            std::tuple<bool, bool, bool, bool, bool> expected;
            if (format < 4)
                expected = {false, false, false, false, true};
            else if (mode == 0)
                expected = {true, true, true, false, false};
            else if (mode == 1)
                expected = {true, true, false, true, false};
            else
                expected = {true, false, false, false, false};

            const UserSentinelControlStates states = UserSentinelControls(format, mode);
            EXPECT_EQ(Parts(states), expected);
            EXPECT_EQ(states.m_enter, format == 4 ? 1 : 0);
        }
    }
}

}  // namespace
}  // namespace corvalt
