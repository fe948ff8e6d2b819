// Feeds arbitrary command lines to the normalisation and the framing.
// Input layout: one byte sets the report length (0 to 70, past the buffer
// on purpose) and whether the length byte is added, the rest is the line
// as typed. Beyond the sanitizers' checks it traps when the normal form is
// not one, when normalising it again changes it, or when the framing
// touches bytes past the report length (or past its three header bytes).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "console/command_framing.h"
#include "console/command_text.h"

namespace {

using corvalt::fuzz::check;

using namespace corvalt;

class CountingMessageBox final : public MessageBox {
public:
    void Show(const std::string&) override { ++shown; }
    int shown = 0;
};

bool IsUpperHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// Pairs of upper-case hex digits split by single blanks, the last one
// possibly a lone digit; or "delay " and a blank-free rest.
bool IsNormalForm(const std::string& text)
{
    if (text.starts_with("delay "))
        return text.find(' ', 6) == std::string::npos;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool blankPlace = i % 3 == 2;
        if (blankPlace ? text[i] != ' ' : !IsUpperHex(text[i]))
            return false;
    }
    return text.empty() || text.back() != ' ';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    if (size == 0)
        return 0;
    const size_t reportLength = bytes[0] % 71;
    const bool autoAddLength = (bytes[0] & 0x80) != 0;
    const std::string typed(reinterpret_cast<const char*>(bytes + 1), size - 1);

    const std::string normal = ParseCommandLine(typed);
    check(IsNormalForm(normal));
    check(ParseCommandLine(normal) == normal);
    HexPairToByte(typed);

    // The framing is given the typed text too: it must stay inside the
    // report whatever it is handed.
    for (const std::string* text : {&normal, &typed}) {
        FeatureReport report;
        report.fill(0xA5);
        CountingMessageBox box;
        const bool framed = FrameCommand(*text, autoAddLength, report, reportLength, box);
        // The id, command and length bytes are written even into a report
        // too short to carry them; the buffer always has room for them.
        for (size_t i = std::clamp<size_t>(reportLength, 3, report.size()); i < report.size(); ++i)
            check(report[i] == 0xA5);
        check(box.shown <= 1 && !(framed && box.shown));
    }
    return 0;
}
