#include "config/user_sentinel_controls.h"

#include <gtest/gtest.h>

#include <set>

namespace corvalt {
namespace {

const std::set<int> kUserControls = {1076, 1079, 1080, 1081, 1082, 1071};
const std::set<int> kPositionAndTrack = {1072, 1068, 1069, 1073, 1065, 1066, 1067};
const std::set<int> kSpecificControls = {1074, 1061, 1062, 1075};
const std::set<int> kLiteralControls = {1077, 1078};
const std::set<int> kTrack3StartSentinel = {1056, 1042, 1043, 1044};

std::set<int> Union(std::initializer_list<std::set<int>> sets)
{
    std::set<int> all;
    for (const std::set<int>& s : sets)
        all.insert(s.begin(), s.end());
    return all;
}

TEST(UserSentinelControlsTest, EveryFormatAndModeCombination)
{
    const std::set<int> all =
        Union({kUserControls, kPositionAndTrack, kSpecificControls, kLiteralControls, kTrack3StartSentinel});
    for (int format = 0; format <= 4; ++format) {
        for (int mode = 0; mode <= 2; ++mode) {
            SCOPED_TRACE(::testing::Message() << "format " << format << ", mode " << mode);
            std::set<int> expected;
            if (format < 4)
                expected = kTrack3StartSentinel;
            else if (mode == 0)
                expected = Union({kUserControls, kPositionAndTrack, kSpecificControls});
            else if (mode == 1)
                expected = Union({kUserControls, kPositionAndTrack, kLiteralControls});
            else
                expected = kUserControls;

            const UserSentinelControlStates states = UserSentinelControls(format, mode);
            std::set<int> seen, enabled;
            for (const ControlEnable& control : states.controls) {
                seen.insert(control.id);
                if (control.enabled)
                    enabled.insert(control.id);
            }
            EXPECT_EQ(seen, all);
            EXPECT_EQ(enabled, expected);
            EXPECT_EQ(states.enter, format == 4 ? 1 : 0);
        }
    }
}

}  // namespace
}  // namespace corvalt
