// Which radio buttons belong together. A group runs in template order from a
// row flagged as a group start up to, not including, the next one (or the end
// of the table); only the radio buttons of that run are its members, and the
// position among them is the index a bound field holds. A group is named
// after its first radio button.
#pragma once

#include <span>
#include <vector>

#include "rules/dialog_template.h"

namespace corvalt {

struct RadioGroup {
    std::vector<int> members;  // radio ids in template order; members.front() names the group
};

// Every group that holds at least one radio button, in template order.
std::vector<RadioGroup> RadioGroups(std::span<const ControlSpec> controls);

// The group a radio button belongs to, or nullptr for any other id.
const RadioGroup* GroupOf(const std::vector<RadioGroup>& groups, int radioId);

}  // namespace corvalt
