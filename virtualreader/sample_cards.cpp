#include "virtualreader/sample_cards.h"

namespace corvalt {

namespace {

// The longest tracks the card standard allows, sentinels included.
constexpr size_t kFullTrack1 = 79;
constexpr size_t kFullTrack2 = 40;
constexpr size_t kFullTrack3 = 107;

// A track of the given length: its beginning, zeros, the end sentinel.
std::string FullTrack(const std::string& beginning, size_t length)
{
    return beginning + std::string(length - beginning.size() - 1, '0') + "?";
}

std::vector<SampleCard> MakeSampleCards()
{
    SampleCard financial{"ISO 7813 financial test card", {}};
    financial.swipe.tracks = {"%B4111111111111111^TEST/CARDHOLDER^3012101000000000000000000?",
                              ";4111111111111111=30121010000000000000?", ""};

    SampleCard licence{"AAMVA driving licence", {}};
    licence.swipe.tracks = {"%XXANYTOWN^DOE$JANE$Q^1 TEST STREET^?", ";636999123456789=301219800101?",
                            "%!!00000      C               F507130BRNBLU?"};
    licence.swipe.encodeType = 1;

    SampleCard damaged{"Track 2 does not decode", {}};
    damaged.swipe.tracks = {"%B5555555555554444^TEST/DAMAGED^3012101000000000000000000?",
                            ";5555555555554444=30121010000000000000?", ""};
    damaged.swipe.unreadable = {false, true, false};

    SampleCard full{"All three tracks at full length", {}};
    full.swipe.tracks = {FullTrack("%B4000000000000002^TEST/FULLTRACKS^3012101", kFullTrack1),
                         FullTrack(";4000000000000002=3012101", kFullTrack2),
                         FullTrack(";011234567890123450=724724100000000000030300", kFullTrack3)};

    return {financial, licence, damaged, full};
}

}  // namespace

const std::vector<SampleCard>& SampleCards()
{
    static const std::vector<SampleCard> cards = MakeSampleCards();
    return cards;
}

}  // namespace corvalt
