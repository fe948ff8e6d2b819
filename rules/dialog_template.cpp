#include "rules/dialog_template.h"

#include <algorithm>

namespace corvalt {

namespace {

using enum ControlKind;
constexpr unsigned G = kGroupStart;
constexpr unsigned T = kTabStop;
constexpr unsigned D = kDisabled;

constexpr ControlSpec kMainControls[] = {
    {kUnnamedId, GroupBox, "Communication Dialog(Hex)", 14, 11, 411, 179, 0},
    {1034, GroupBox, "Configure Magnetic Card Reader", 14, 194, 410, 250, 0},
    {1016, LineEdit, "", 82, 209, 255, 13, T},
    {1024, LineEdit, "", 81, 231, 286, 13, T},
    {1026, PushButton, "Load File", 21, 231, 55, 14, T},
    {1027, PushButton, "Download", 373, 231, 44, 14, T},
    {1029, PushButton, "Clear Dialog", 335, 160, 58, 14, T},
    {1028, TranscriptEdit, "", 21, 25, 396, 131, T},
    {1030, PushButton, "Send Command", 22, 209, 55, 14, T},
    {1031, CheckBox, "Auto Add Length", 345, 211, 73, 10, T},
    {1032, RadioButton, "Receive Magnetic Data", 33, 161, 100, 10, G},
    {1033, RadioButton, "Configuration Command And Response", 149, 162, 152, 10, 0},
    {1056, GroupBox, "Start Sentinel of Track 3", 219, 383, 124, 27, 0},
    {1054, GroupBox, "USB Hid Mode", 22, 252, 183, 32, 0},
    {1055, GroupBox, "Select Track", 212, 251, 205, 33, 0},
    {1057, GroupBox, "Format", 29, 299, 181, 112, 0},
    {1035, PushButton, "Apply", 164, 263, 33, 14, T},
    {1036, RadioButton, "Hid MSR", 28, 266, 43, 10, G},
    {1037, RadioButton, "Emulate Keyboard", 79, 265, 78, 10, 0},
    {1041, PushButton, "Apply", 373, 263, 35, 14, T},
    {1042, RadioButton, ";", 232, 395, 20, 10, G},
    {1043, RadioButton, "+", 269, 395, 20, 10, 0},
    {1044, RadioButton, "#", 308, 395, 20, 10, 0},
    {1046, RadioButton, "Data + Enter", 35, 313, 64, 10, G},
    {1047, RadioButton, "Leading string + SS + Data + ES + Enter", 35, 327, 169, 10, 0},
    {1048, RadioButton, "SS + Data + ES", 35, 341, 72, 10, 0},
    {1049, RadioButton, "SS+Data + ES + Enter", 35, 355, 96, 10, 0},
    {1050, CheckBox, "Track 1", 217, 265, 44, 10, T},
    {1051, CheckBox, "Track 2", 268, 265, 44, 10, T},
    {1052, CheckBox, "Track 3", 321, 265, 44, 10, T},
    {1053, PushButton, "Apply", 355, 391, 50, 14, T},
    {1058, GroupBox, "Magnetic Card Data Format", 21, 289, 395, 125, 0},
    {1059, BlackFrame, "", 14, 177, 410, 12, 0},
    {1060, RadioButton, "USERSS + Data + USERES +", 35, 369, 112, 10, 0},
    {1071, GroupBox, "User Define Track Sentinel", 217, 299, 192, 81, 0},
    {1074, GroupBox, "Specific Sentinel", 327, 308, 77, 49, 0},
    {1061, CheckBox, "Ctrl", 335, 321, 27, 10, T},
    {1062, CheckBox, "Alt", 373, 321, 23, 10, T},
    {1065, RadioButton, "1", 232, 345, 20, 10, G},
    {1066, RadioButton, "2", 263, 345, 20, 10, 0},
    {1067, RadioButton, "3", 292, 345, 20, 10, 0},
    {1068, RadioButton, "Start", 232, 319, 36, 10, G},
    {1073, GroupBox, "Track", 222, 336, 99, 22, 0},
    {1072, GroupBox, "Sentinel Position", 222, 310, 100, 23, 0},
    {1069, RadioButton, "End", 283, 319, 28, 10, 0},
    {1075, LineEdit, "", 336, 337, 59, 14, T},
    {1076, CheckBox, "Enter", 158, 369, 36, 10, T | D},
    {1077, Label, "Literal Sentinel:", 223, 365, 69, 8, G},
    {1078, LineEdit, "", 293, 361, 109, 14, T},
    {1079, GroupBox, "User Sentinel Mode", 40, 383, 162, 24, 0},
    {1080, RadioButton, "Specific ", 45, 393, 52, 10, G},
    {1081, RadioButton, "Literal", 94, 393, 44, 10, 0},
    {1082, RadioButton, "Toggle User", 141, 393, 56, 10, 0},
    {1083, GroupBox, "Send Error String", 30, 418, 181, 23, 0},
    {1084, GroupBox, "User Sentinel + Error String", 220, 417, 189, 23, 0},
    {1085, RadioButton, "Enable", 41, 427, 40, 10, G},
    {1086, RadioButton, "Disable", 99, 427, 44, 10, 0},
    {1087, PushButton, "Apply", 153, 425, 50, 14, T},
    {1088, RadioButton, "With Sentinel", 227, 427, 68, 10, G},
    {1089, RadioButton, "No Sentinel", 300, 427, 60, 10, 0},
    {1090, PushButton, "Apply", 366, 424, 39, 14, T},
};

constexpr ControlSpec kAboutControls[] = {
    {kAboutIconId, Icon, "", 11, 17, 20, 20, 0},
    {kUnnamedId, Label, "Corvalt 1.0 版", 40, 10, 119, 8, G},
    {kAboutOkId, DefaultButton, "确定", 178, 7, 50, 14, G | T},
};

}  // namespace

std::span<const ControlSpec> MainDialogControls()
{
    return kMainControls;
}

std::span<const ControlSpec> AboutDialogControls()
{
    return kAboutControls;
}

const ControlSpec* FindControl(std::span<const ControlSpec> controls, int id)
{
    const auto it = std::ranges::find(controls, id, &ControlSpec::id);
    return it == controls.end() ? nullptr : &*it;
}

}  // namespace corvalt
