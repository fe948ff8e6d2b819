// What a reader in keyboard mode types for a swipe: each selected track's
// data framed as its settings say (sentinels, Enter, error string), as key
// strokes of the USB keyboard page.
#pragma once

#include <cstdint>
#include <vector>

#include "virtualreader/card_swipe.h"
#include "virtualreader/reader_settings.h"

namespace corvalt {

inline constexpr uint8_t kKeyEnter = 0x28;

struct KeyStroke {
    uint8_t modifiers = 0;  // USB keyboard modifier bits (Ctrl, Shift, Alt)
    uint8_t key = 0;        // USB keyboard key code
    char character = 0;     // what the key types without Ctrl or Alt; 0 for none
};

std::vector<KeyStroke> TypeSwipe(const CardSwipe& card, const ReaderSettings& settings);

// The key stroke that types the character on a US keyboard.
KeyStroke CharacterStroke(char character);
// A key stroke given by its code, with the character it types, if any.
KeyStroke KeyCodeStroke(uint8_t modifiers, uint8_t key);

}  // namespace corvalt
