// The configuration controls that are switched on and off as one block: when
// the mode changes and around a download of the command list. The top area
// (transcript, mode radios, Clear Dialog, status frame) is not in it, nor are
// the user-sentinel controls, whose state follows the data-format choice.
#pragma once

#include <array>

namespace corvalt {

inline constexpr std::array<int, 36> kConfigControlIds = {
    1034, 1030, 1016, 1031, 1026, 1024, 1027, 1054, 1037, 1036, 1035, 1055,
    1050, 1051, 1052, 1041, 1058, 1056, 1042, 1043, 1044, 1057, 1046, 1047,
    1048, 1049, 1060, 1053, 1083, 1085, 1086, 1087, 1084, 1088, 1089, 1090,
};

}  // namespace corvalt
