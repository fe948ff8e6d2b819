// What reading mode writes for a key that carries no character or comes with
// Ctrl or Alt: the key's display name with its modifier prefixes. Keys are
// identified by Windows virtual-key codes, the codes the names were made
// for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvalt {

namespace vk {
inline constexpr uint8_t kBack = 0x08;
inline constexpr uint8_t kTab = 0x09;
inline constexpr uint8_t kClear = 0x0C;
inline constexpr uint8_t kReturn = 0x0D;
inline constexpr uint8_t kShift = 0x10;
inline constexpr uint8_t kControl = 0x11;
inline constexpr uint8_t kMenu = 0x12;  // Alt
inline constexpr uint8_t kPause = 0x13;
inline constexpr uint8_t kCapital = 0x14;  // Caps Lock
inline constexpr uint8_t kEscape = 0x1B;
inline constexpr uint8_t kSpace = 0x20;
inline constexpr uint8_t kPrior = 0x21;  // Page Up
inline constexpr uint8_t kNext = 0x22;   // Page Down
inline constexpr uint8_t kEnd = 0x23;
inline constexpr uint8_t kHome = 0x24;
inline constexpr uint8_t kLeft = 0x25;
inline constexpr uint8_t kUp = 0x26;
inline constexpr uint8_t kRight = 0x27;
inline constexpr uint8_t kDown = 0x28;
inline constexpr uint8_t kSnapshot = 0x2C;  // Print Screen
inline constexpr uint8_t kInsert = 0x2D;
inline constexpr uint8_t kDelete = 0x2E;
inline constexpr uint8_t kLeftWindows = 0x5B;
inline constexpr uint8_t kApps = 0x5D;  // the context-menu key
inline constexpr uint8_t kNumpad0 = 0x60;
inline constexpr uint8_t kMultiply = 0x6A;
inline constexpr uint8_t kAdd = 0x6B;
inline constexpr uint8_t kSubtract = 0x6D;
inline constexpr uint8_t kDecimal = 0x6E;
inline constexpr uint8_t kDivide = 0x6F;
inline constexpr uint8_t kF1 = 0x70;
inline constexpr uint8_t kF24 = 0x87;
inline constexpr uint8_t kNumLock = 0x90;
inline constexpr uint8_t kScroll = 0x91;
// The punctuation keys of a US keyboard.
inline constexpr uint8_t kOem1 = 0xBA;  // ; :
inline constexpr uint8_t kOemPlus = 0xBB;
inline constexpr uint8_t kOemComma = 0xBC;
inline constexpr uint8_t kOemMinus = 0xBD;
inline constexpr uint8_t kOemPeriod = 0xBE;
inline constexpr uint8_t kOem2 = 0xBF;  // / ?
inline constexpr uint8_t kOem3 = 0xC0;  // ` ~
inline constexpr uint8_t kOem4 = 0xDB;  // [ {
inline constexpr uint8_t kOem5 = 0xDC;  // \ |
inline constexpr uint8_t kOem6 = 0xDD;  // ] }
inline constexpr uint8_t kOem7 = 0xDE;  // ' "
}  // namespace vk

// The display name of a key without a character, or none.
std::optional<std::string_view> KeyDisplayName(uint8_t virtualKey);

// What a key press writes, e.g. "F5", "CTRL+A", "CTRL+ALT+INS"; empty when
// the key is left to its usual handling: Ctrl or Alt themselves, and keys
// without a display name pressed without Ctrl or Alt. A key without a name
// pressed with them gives the character whose code is the key code (the
// letter or digit itself).
std::string CapturedKeyName(uint8_t virtualKey, bool ctrlDown, bool altDown);

}  // namespace corvalt
