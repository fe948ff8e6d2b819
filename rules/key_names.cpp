#include "rules/key_names.h"

#include <algorithm>
#include <array>

namespace corvalt {

namespace {

struct KeyName {
    uint8_t code;
    std::string_view name;
};

constexpr std::array<KeyName, 17> kKeyNames = {{
    {vk::kBack, "BACKSPACE"},
    {vk::kTab, "TAB"},
    {vk::kClear, "CLEAR"},
    {vk::kPause, "PAUSE"},
    {vk::kEscape, "ESC"},
    {vk::kSpace, "SPACE"},
    {vk::kPrior, "PAGE UP"},
    {vk::kNext, "PAGE DOWN"},
    {vk::kEnd, "END"},
    {vk::kHome, "HOME"},
    {vk::kLeft, "LEFT"},
    {vk::kUp, "UP"},
    {vk::kRight, "RIGHT"},
    {vk::kDown, "DOWN"},
    {vk::kSnapshot, "PrtSc"},
    {vk::kInsert, "INS"},
    {vk::kDelete, "DEL"},
}};

constexpr std::array<std::string_view, 12> kFunctionKeyNames = {"F1", "F2", "F3", "F4",  "F5",  "F6",
                                                                "F7", "F8", "F9", "F10", "F11", "F12"};

}  // namespace

std::optional<std::string_view> KeyDisplayName(uint8_t virtualKey)
{
    if (virtualKey >= vk::kF1 && virtualKey < vk::kF1 + kFunctionKeyNames.size())
        return kFunctionKeyNames[virtualKey - vk::kF1];
    const auto it = std::ranges::find(kKeyNames, virtualKey, &KeyName::code);
    if (it == kKeyNames.end())
        return std::nullopt;
    return it->name;
}

std::string CapturedKeyName(uint8_t virtualKey, bool ctrlDown, bool altDown)
{
    if (virtualKey == vk::kControl || virtualKey == vk::kMenu)
        return {};
    std::string name;
    if (ctrlDown)
        name += "CTRL+";
    if (altDown)
        name += "ALT+";
    if (const auto display = KeyDisplayName(virtualKey))
        name += *display;
    else if (!name.empty())
        name += static_cast<char>(virtualKey);
    return name;
}

}  // namespace corvalt
