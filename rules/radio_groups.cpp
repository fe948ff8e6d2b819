#include "rules/radio_groups.h"

#include <algorithm>

namespace corvalt {

std::vector<RadioGroup> RadioGroups(std::span<const ControlSpec> controls)
{
    std::vector<RadioGroup> groups;
    RadioGroup run;
    for (const ControlSpec& control : controls) {
        if ((control.flags & kGroupStart) != 0 && !run.members.empty())
            groups.push_back(std::move(run));
        if ((control.flags & kGroupStart) != 0)
            run = RadioGroup{};
        if (control.kind == ControlKind::RadioButton)
            run.members.push_back(control.id);
    }
    if (!run.members.empty())
        groups.push_back(std::move(run));
    return groups;
}

const RadioGroup* GroupOf(const std::vector<RadioGroup>& groups, int radioId)
{
    const auto it = std::ranges::find_if(
        groups, [radioId](const RadioGroup& group) { return std::ranges::count(group.members, radioId) != 0; });
    return it == groups.end() ? nullptr : &*it;
}

}  // namespace corvalt
