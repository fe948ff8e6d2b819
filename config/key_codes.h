// Key codes of the USB HID keyboard page (usage page 0x07) for the keys a
// specific sentinel can name: one character, or a key name the operator
// types.
#pragma once

#include <cstdint>
#include <string_view>

namespace corvalt {

inline constexpr uint8_t kModifierCtrl = 0x01;   // left Ctrl
inline constexpr uint8_t kModifierShift = 0x02;  // left Shift
inline constexpr uint8_t kModifierAlt = 0x04;    // left Alt

// The key that types the character on a US keyboard: the modifier bits in the
// high byte (kModifierShift or 0), the key code in the low byte. 0 when no
// key types it, lower-case letters included.
uint16_t CharToKeyCode(unsigned char ch);

// The key code of a key name ("ESC", "PgUp", "f10", ...), compared without
// regard to case; 0 for a name not in the table. F1 to F9 are not in it:
// the sentinel rule reads those from their digit.
uint8_t KeyNameToKeyCode(std::string_view name);

}  // namespace corvalt
