// The main window's control table and the rules read from it: the radio
// groups, the configuration block, the dialog-unit mapping, the two window
// sizes and the window's place on the screen.
#include "rules/dialog_template.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/config_controls.h"
#include "rules/dialog_units.h"
#include "rules/enclosing_boxes.h"
#include "app/panel_settings.h"
#include "rules/radio_groups.h"
#include "rules/window_placement.h"
#include "rules/window_sizes.h"

namespace corvalt {
namespace {

TEST(DialogTemplateTest, MainWindowHasEveryControlOnceAndInsideTheWindow)
{
    const auto controls = MainDialogControls();
    EXPECT_EQ(controls.size(), 61u);
    std::set<int> ids;
    for (const ControlSpec& control : controls) {
        SCOPED_TRACE(control.id);
        EXPECT_TRUE(ids.insert(control.id).second) << "duplicate id";
        EXPECT_LE(control.x + control.width, kMainDialogSize.width);
        EXPECT_LE(control.y + control.height, kMainDialogSize.height);
    }
    const ControlSpec* enter = FindControl(controls, 1076);
    ASSERT_NE(enter, nullptr);
    EXPECT_EQ(enter->flags, kTabStop | kDisabled);
    EXPECT_STREQ(FindControl(controls, 1080)->caption, "Specific ");  // the trailing blank is part of it
}

TEST(DialogTemplateTest, RadioGroupsFollowTheGroupStartRule)
{
    const std::vector<std::vector<int>> expected = {
        {1032, 1033},       {1036, 1037},
        {1042, 1043, 1044}, {1046, 1047, 1048, 1049, 1060},  // 1060 lies further down but before the next group start
        {1065, 1066, 1067}, {1068, 1069},
        {1080, 1081, 1082}, {1085, 1086},
        {1088, 1089},
    };
    const std::vector<RadioGroup> groups = RadioGroups(MainDialogControls());
    ASSERT_EQ(groups.size(), expected.size());
    for (size_t index = 0; index < expected.size(); ++index)
        EXPECT_EQ(groups[index].members, expected[index]);
    EXPECT_EQ(GroupOf(groups, 1060)->members.front(), 1046);
    EXPECT_EQ(GroupOf(groups, 1050), nullptr);
}

// Each control sits in the smallest box drawn around it; boxes in none.
TEST(DialogTemplateTest, EachControlSitsInTheGroupBoxDrawnAroundIt)
{
    const auto controls = MainDialogControls();
    const std::vector<int> boxes = EnclosingGroupBoxes(controls);
    const auto boxOf = [&](int id) {
        const size_t row = static_cast<size_t>(FindControl(controls, id) - controls.data());
        return boxes[row] == kNoBox ? 0 : controls[static_cast<size_t>(boxes[row])].id;
    };
    const std::pair<int, int> expected[] = {
        {kTranscriptEditId, kUnnamedId},
        {kStatusFrameId, kUnnamedId},
        {kCommandEditId, 1034},
        {1035, 1054},
        {1041, 1055},
        {1053, 1058},
        {1087, 1083},
        {1090, 1084},  // the five "Apply"
        {1042, 1056},
        {1060, 1057},
        {1076, 1057},
        {1065, 1073},
        {1068, 1072},
        {1075, 1074},
        {1078, 1071},
        {1082, 1079},
        {1074, 0},
        {1058, 0},
    };
    for (const auto& [id, box] : expected)
        EXPECT_EQ(boxOf(id), box) << id;
}

TEST(DialogTemplateTest, GroupStartsThatAreNotRadiosStillEndARun)
{
    const ControlSpec rows[] = {
        {1, ControlKind::RadioButton, "", 0, 0, 1, 1, kGroupStart}, {2, ControlKind::RadioButton, "", 0, 0, 1, 1, 0},
        {3, ControlKind::Label, "", 0, 0, 1, 1, kGroupStart},       {4, ControlKind::RadioButton, "", 0, 0, 1, 1, 0},
        {5, ControlKind::CheckBox, "", 0, 0, 1, 1, kGroupStart},
    };
    const std::vector<RadioGroup> groups = RadioGroups(rows);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].members, (std::vector<int>{1, 2}));
    EXPECT_EQ(groups[1].members, (std::vector<int>{4}));
}

TEST(DialogTemplateTest, BoundFieldsNameRadioGroupsAndCheckBoxesOfTheTable)
{
    const auto controls = MainDialogControls();
    const std::vector<RadioGroup> groups = RadioGroups(controls);
    for (const IntBinding& binding : kRadioBindings) {
        const RadioGroup* group = GroupOf(groups, binding.controlId);
        ASSERT_NE(group, nullptr) << binding.controlId;
        EXPECT_EQ(group->members.front(), binding.controlId);
    }
    for (const IntBinding& binding : kCheckBindings)
        EXPECT_EQ(FindControl(controls, binding.controlId)->kind, ControlKind::CheckBox) << binding.controlId;
    for (const TextBinding& binding : kTextBindings)
        EXPECT_EQ(FindControl(controls, binding.controlId)->kind, ControlKind::LineEdit) << binding.controlId;
}

TEST(DialogTemplateTest, ConfigurationBlockLiesInTheConfigurationArea)
{
    const auto controls = MainDialogControls();
    const std::set<int> block(kConfigControlIds.begin(), kConfigControlIds.end());
    EXPECT_EQ(block.size(), kConfigControlIds.size());
    for (int id : kConfigControlIds) {
        const ControlSpec* control = FindControl(controls, id);
        ASSERT_NE(control, nullptr) << id;
        EXPECT_GE(control->y, 194) << id;
    }
    // The top area stays out of the block.
    for (int id : {kUnnamedId, 1028, 1029, 1032, 1033, 1059})
        EXPECT_EQ(block.count(id), 0u) << id;
}

TEST(DialogUnitsTest, UnitsAreOneAndAHalfPixelsAt96DpiAndGrowWithTheScreen)
{
    struct Case {
        DialogScale scale;
        int x, y, width, height;
        PixelRect pixels;
    };
    const Case cases[] = {
        {{96, 96}, 14, 177, 410, 12, {21, 266, 615, 18}},  // halves round up: 177 * 1.5 = 265.5
        {{96, 96}, 438, 453, 1, 1, {657, 680, 2, 2}},
        {{192, 192}, 438, 453, 1, 1, {1314, 1359, 3, 3}},
        {{120, 144}, 438, 453, 0, 0, {821, 1019, 0, 0}},  // 821.25 and 1019.25
    };
    for (const Case& c : cases)
        EXPECT_EQ(DialogRectToPixels(c.x, c.y, c.width, c.height, c.scale), c.pixels) << c.x << "," << c.y;
}

TEST(WindowPlacementTest, FullWindowIsCentredOnTheAvailableAreaOrKeepsItsCornerOnIt)
{
    const Size window{659, 701};  // 657 x 680 inside a frame with a 20-pixel caption
    struct Case {
        Rect available;
        Point place;
    };
    const Case cases[] = {
        {{0, 0, 1920, 1080}, {630, 189}},
        {{1920, 32, 3286, 768}, {2273, 49}},  // a second screen with a panel along the top
        {{0, 0, 683, 384}, {12, 0}},          // 1366 x 768 at twice the scale: too low
        {{100, 50, 600, 650}, {100, 50}},     // too small both ways
    };
    for (const Case& c : cases)
        EXPECT_EQ(CentredPlace(c.available, window), c.place) << c.available.left << "," << c.available.top;
}

TEST(WindowPlacementTest, SecondWindowGoesBesideWhereThereIsRoomElseBelow)
{
    const Size window{700, 420};  // the virtual reader's, frame included
    struct Case {
        const char* what;
        Rect available;
        Rect placed;  // the main window's frame
        Point place;
    };
    const Case cases[] = {
        {"right", {0, 0, 2560, 1440}, {951, 369, 1610, 1070}, {1610, 369}},
        {"right, raised to end on the area", {0, 0, 2560, 1440}, {951, 1100, 1610, 1400}, {1610, 1020}},
        {"left, no room right", {0, 0, 1920, 1080}, {1100, 100, 1759, 400}, {400, 100}},
        {"below, too narrow for both", {0, 0, 1920, 1080}, {631, 185, 1290, 495}, {631, 495}},
        {"below, raised over the other", {0, 0, 1366, 768}, {354, 29, 1013, 739}, {354, 348}},
        {"corner of an area too small", {0, 0, 683, 384}, {12, 0, 671, 310}, {0, 0}},
        {"second screen with a panel", {1920, 32, 3286, 768}, {2273, 49, 2932, 359}, {2273, 348}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceBeside(c.available, c.placed, window), c.place) << c.what;
}

TEST(WindowSizesTest, CapturedOnceAndCutAtTheControl)
{
    WindowSizes sizes;
    EXPECT_FALSE(sizes.IsCaptured());
    sizes.CaptureOnce({100, 50, 757, 786}, {121, 338, 736, 358});
    EXPECT_EQ(sizes.Full(), (Size{657, 736}));
    EXPECT_EQ(sizes.Reduced(0), (Size{657, 308}));
    EXPECT_EQ(sizes.Reduced(4), (Size{657, 304}));  // the bottom border covers the control's last rows

    sizes.CaptureOnce({0, 0, 10, 10}, {0, 0, 5, 5});  // later calls change nothing
    EXPECT_EQ(sizes.Full(), (Size{657, 736}));
}

TEST(WindowSizesTest, OnlyASharedAreaCountsAsIntersecting)
{
    const Rect window{0, 0, 100, 50};
    struct Case {
        Rect control;
        bool intersects;
    };
    const Case cases[] = {
        {{10, 10, 20, 20}, true},   {{10, 49, 20, 80}, true},  // one pixel row inside
        {{10, 50, 20, 80}, false},                             // touches the bottom edge only
        {{100, 0, 120, 10}, false}, {{-5, -5, 1, 1}, true},   {{10, 10, 10, 20}, false},  // empty
    };
    for (const Case& c : cases)
        EXPECT_EQ(Intersects(c.control, window), c.intersects)
            << c.control.left << "," << c.control.top << "," << c.control.right << "," << c.control.bottom;
}

}  // namespace
}  // namespace corvalt
