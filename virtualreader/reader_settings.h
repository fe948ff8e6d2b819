// The settings a reader keeps and the settings commands that change them:
// which tracks it sends, and how it frames the card data it types in
// keyboard mode (format, sentinels, error string).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace corvalt {

// A start or end sentinel of the user format: one key stroke, or a string.
struct UserSentinel {
    bool literal = false;
    uint8_t modifiers = 0;  // specific: USB keyboard modifier bits
    uint8_t key = 0;        // specific: USB keyboard key code, 0 for none
    std::string text;       // literal
};

struct ReaderSettings {
    uint8_t trackMask = 0x07;  // bit 0 track 1, bit 1 track 2, bit 2 track 3
    // Bits 0-3: 0 "Data + Enter", 1 leading string + SS + Data + ES + Enter,
    // 2 SS + Data + ES, 3 SS + Data + ES + Enter, 4 the user format.
    // Bits 4-5: track 3's start sentinel (0 ';', 1 '+', 2 '#').
    uint8_t format = 0x13;
    bool userEnter = false;                                    // the user format ends each track with Enter
    std::array<std::array<UserSentinel, 2>, 3> userSentinels;  // [track][0 start, 1 end]
    bool sendErrorString = true;                               // an unreadable track is typed as the error string
    bool errorStringWithSentinel = true;                       // ... framed by the user sentinels
};

// Applies the data of a settings command (command code 0x10: 0x1B, a
// selector, then its values) to the settings. Data it does not know, or too
// short for its selector, changes nothing.
void ApplySettingsCommand(ReaderSettings& settings, std::span<const uint8_t> data);

}  // namespace corvalt
