#include "console/command_text.h"

#include <algorithm>
#include <string_view>

namespace corvalt {

namespace {

constexpr std::string_view kDelayWord = "delay";
constexpr size_t kDelayCountStart = kDelayWord.size() + 1;  // after the word and its blank

bool IsHexDigit(char c)
{
    // Only upper-case letters count: a lower-case letter makes a typo show
    // instead of sending something the operator did not mean.
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// Letters of either case count here, anything else as 0, so the framing of
// a text that was never checked still gives a definite byte.
uint8_t NibbleOf(char c)
{
    if (c >= 'A' && c <= 'F')
        return static_cast<uint8_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return static_cast<uint8_t>(c - 'a' + 10);
    if (c >= '0' && c <= '9')
        return static_cast<uint8_t>(c - '0');
    return 0;
}

}  // namespace

std::string ParseCommandLine(const std::string& text)
{
    std::string packed = text;
    std::erase(packed, ' ');

    if (packed.starts_with(kDelayWord))
        return std::string(kDelayWord) + ' ' + packed.substr(kDelayWord.size());

    if (!std::ranges::all_of(packed, IsHexDigit))
        return {};

    std::string normal;
    for (size_t i = 0; i < packed.size(); i += 2) {
        if (!normal.empty())
            normal += ' ';
        normal += packed.substr(i, 2);
    }
    return normal;
}

bool IsDelayCommand(std::string_view normal)
{
    return normal.starts_with(kDelayWord);
}

std::string_view DelayCountText(std::string_view normal)
{
    return normal.substr(std::min(normal.size(), kDelayCountStart));
}

uint8_t HexPairToByte(const std::string& text)
{
    const uint8_t high = text.empty() ? 0 : NibbleOf(text[0]);
    const uint8_t low = text.size() < 2 ? 0 : NibbleOf(text[1]);
    return static_cast<uint8_t>(high * 16 + low);
}

}  // namespace corvalt
