#include "virtualreader/reader_settings.h"

namespace corvalt {

namespace {

constexpr uint8_t kEscape = 0x1B;
constexpr uint8_t kTrackSelect = 0x54;
constexpr uint8_t kDataFormat = 0x46;
constexpr uint8_t kUserSentinel = 0x53;
constexpr uint8_t kErrorString = 0x45;
constexpr uint8_t kUserFormat = 0x04;
constexpr uint8_t kEnterBit = 0x80;
constexpr uint8_t kLiteralBit = 0x40;

// The sentinel flags byte: bit 0 end (else start), bits 1-2 the track,
// bit 6 a literal, bit 7 Enter; then the key or the literal's characters.
void ApplyUserSentinel(ReaderSettings& settings, std::span<const uint8_t> values)
{
    if (values.empty())
        return;
    const uint8_t flags = values[0];
    const unsigned track = (flags >> 1) & 0x03;
    if (track > 2)
        return;
    UserSentinel sentinel;
    sentinel.literal = (flags & kLiteralBit) != 0;
    if (sentinel.literal) {
        sentinel.text.assign(values.begin() + 1, values.end());
    } else {
        if (values.size() < 3)
            return;
        sentinel.modifiers = values[1];
        sentinel.key = values[2];
    }
    settings.userSentinels[track][flags & 0x01] = sentinel;
    settings.userEnter = (flags & kEnterBit) != 0;
}

}  // namespace

void ApplySettingsCommand(ReaderSettings& settings, std::span<const uint8_t> data)
{
    if (data.size() < 3 || data[0] != kEscape)
        return;
    const std::span<const uint8_t> values = data.subspan(2);
    switch (data[1]) {
    case kTrackSelect: settings.trackMask = values[0] & 0x07; break;
    case kDataFormat:
        // Formats beyond the user format do not exist: the reader keeps its own.
        if ((values[0] & 0x0F) <= kUserFormat) {
            settings.format = values[0] & static_cast<uint8_t>(~kEnterBit);
            if ((values[0] & 0x0F) == kUserFormat)
                settings.userEnter = (values[0] & kEnterBit) != 0;
        }
        break;
    case kUserSentinel: ApplyUserSentinel(settings, values); break;
    case kErrorString:
        if (values.size() >= 2 && values[0] == 0x30)
            settings.sendErrorString = values[1] == 0x31;
        else if (values.size() >= 2 && values[0] == 0x31)
            settings.errorStringWithSentinel = values[1] == 0x31;
        break;
    default: break;
    }
}

}  // namespace corvalt
