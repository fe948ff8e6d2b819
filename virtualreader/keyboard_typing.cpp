#include "virtualreader/keyboard_typing.h"

#include <string_view>

#include "config/key_codes.h"

namespace corvalt {

namespace {

constexpr uint8_t kKeyA = 0x04;
constexpr uint8_t kKeyZ = 0x1D;
constexpr uint8_t kKeyTab = 0x2B;
constexpr uint8_t kKeySpace = 0x2C;
constexpr char kEndSentinel = '?';
constexpr std::string_view kErrorString = "E";
constexpr std::string_view kStartSentinels = "%;+#";

enum FormatIndex : uint8_t { kDataEnter = 0, kLeadingString = 1, kSentinels = 2, kSentinelsEnter = 3, kUser = 4 };

// The track's data without the start and end sentinels it has on the stripe.
std::string_view StripeData(std::string_view track)
{
    if (!track.empty() && kStartSentinels.find(track.front()) != std::string_view::npos)
        track.remove_prefix(1);
    if (!track.empty() && track.back() == kEndSentinel)
        track.remove_suffix(1);
    return track;
}

char StartSentinel(unsigned track, uint8_t format)
{
    static constexpr char kTrack3[] = {';', '+', '#'};
    if (track == 0)
        return '%';
    if (track == 1)
        return ';';
    const unsigned choice = (format >> 4) & 0x03;
    return choice < 3 ? kTrack3[choice] : ';';
}

void TypeText(std::vector<KeyStroke>& keys, std::string_view text)
{
    for (char ch : text)
        keys.push_back(CharacterStroke(ch));
}

void TypeSentinel(std::vector<KeyStroke>& keys, const UserSentinel& sentinel)
{
    if (sentinel.literal)
        TypeText(keys, sentinel.text);
    else if (sentinel.key != 0)
        keys.push_back(KeyCodeStroke(sentinel.modifiers, sentinel.key));
}

void TypeTrack(std::vector<KeyStroke>& keys, unsigned track, std::string_view data, bool error,
               const ReaderSettings& settings)
{
    const uint8_t format = settings.format & 0x0F;
    if (format == kUser) {
        const bool framed = !error || settings.errorStringWithSentinel;
        if (framed)
            TypeSentinel(keys, settings.userSentinels[track][0]);
        TypeText(keys, data);
        if (framed)
            TypeSentinel(keys, settings.userSentinels[track][1]);
        if (settings.userEnter)
            keys.push_back(KeyCodeStroke(0, kKeyEnter));
        return;
    }
    // The reader has no leading string set (no command sets one), so the
    // leading-string format types none.
    const bool sentinels = format != kDataEnter;
    if (sentinels)
        keys.push_back(CharacterStroke(StartSentinel(track, settings.format)));
    TypeText(keys, data);
    if (sentinels)
        keys.push_back(CharacterStroke(kEndSentinel));
    if (format != kSentinels)
        keys.push_back(KeyCodeStroke(0, kKeyEnter));
}

}  // namespace

KeyStroke CharacterStroke(char character)
{
    const auto ch = static_cast<unsigned char>(character);
    if (ch >= 'a' && ch <= 'z')
        return {0, static_cast<uint8_t>(kKeyA + (ch - 'a')), character};
    if (ch >= 'A' && ch <= 'Z')
        return {kModifierShift, static_cast<uint8_t>(kKeyA + (ch - 'A')), character};
    if (ch == ' ')
        return {0, kKeySpace, character};
    const uint16_t code = CharToKeyCode(ch);
    return {static_cast<uint8_t>(code >> 8), static_cast<uint8_t>(code & 0xFF), character};
}

KeyStroke KeyCodeStroke(uint8_t modifiers, uint8_t key)
{
    KeyStroke stroke{modifiers, key, 0};
    const bool shift = (modifiers & kModifierShift) != 0;
    if (key >= kKeyA && key <= kKeyZ) {
        stroke.character = static_cast<char>((shift ? 'A' : 'a') + (key - kKeyA));
    } else if (key == kKeyEnter) {
        stroke.character = '\r';
    } else if (key == kKeyTab) {
        stroke.character = '\t';
    } else if (key == kKeySpace) {
        stroke.character = ' ';
    } else {
        for (unsigned ch = 0x21; ch < 0x7F && stroke.character == 0; ++ch) {
            const uint16_t code = CharToKeyCode(static_cast<unsigned char>(ch));
            if ((code & 0xFF) == key && ((code >> 8) == kModifierShift) == shift && !(ch >= 'A' && ch <= 'Z'))
                stroke.character = static_cast<char>(ch);
        }
    }
    return stroke;
}

std::vector<KeyStroke> TypeSwipe(const CardSwipe& card, const ReaderSettings& settings)
{
    std::vector<KeyStroke> keys;
    for (unsigned track = 0; track < 3; ++track) {
        if ((settings.trackMask & (1u << track)) == 0)
            continue;
        const bool error = card.unreadable[track];
        if (error && !settings.sendErrorString)
            continue;
        const std::string_view data = error ? kErrorString : StripeData(card.tracks[track]);
        if (data.empty())
            continue;  // a blank track types nothing
        TypeTrack(keys, track, data, error, settings);
    }
    return keys;
}

}  // namespace corvalt
