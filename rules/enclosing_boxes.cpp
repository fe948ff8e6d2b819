#include "rules/enclosing_boxes.h"

namespace corvalt {

namespace {

bool Holds(const ControlSpec& box, const ControlSpec& control)
{
    return control.x >= box.x && control.y >= box.y && control.x + control.width <= box.x + box.width &&
           control.y + control.height <= box.y + box.height;
}

int Area(const ControlSpec& control)
{
    return control.width * control.height;
}

}  // namespace

std::vector<int> EnclosingGroupBoxes(std::span<const ControlSpec> controls)
{
    std::vector<int> boxes(controls.size(), kNoBox);
    for (size_t index = 0; index < controls.size(); ++index) {
        if (controls[index].kind == ControlKind::GroupBox)
            continue;
        for (size_t box = 0; box < controls.size(); ++box) {
            if (controls[box].kind != ControlKind::GroupBox || !Holds(controls[box], controls[index]))
                continue;
            if (boxes[index] == kNoBox || Area(controls[box]) < Area(controls[static_cast<size_t>(boxes[index])]))
                boxes[index] = static_cast<int>(box);
        }
    }
    return boxes;
}

}  // namespace corvalt
