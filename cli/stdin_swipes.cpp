#include "cli/stdin_swipes.h"

#include <string>

#include "cli/cli_texts.h"

namespace corvalt {

namespace {

constexpr char kTrackSeparator = '|';

}  // namespace

Result<SwipeText> ParseSwipeLine(std::string_view line)
{
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    SwipeText text;
    for (size_t track = 0;; ++track) {
        const size_t end = line.find(kTrackSeparator);
        if (track == text.tracks.size())
            return Failure{"a card has three tracks; this line has more fields, separated by '|'"};
        text.tracks[track] = std::string(line.substr(0, end));
        if (end == std::string_view::npos)
            return text;
        line.remove_prefix(end + 1);
    }
}

StandardInputSwipes::StandardInputSwipes(VirtualReader& reader, std::istream& in, std::ostream& err)
    : m_reader(reader), m_in(in), m_err(err)
{
}

bool StandardInputSwipes::SwipeNext()
{
    std::string line;
    if (m_refused || !std::getline(m_in, line))
        return false;
    ++m_lineNumber;
    const Result<SwipeText> text = ParseSwipeLine(line);
    if (!text.Succeeded()) {
        m_err << kStandardInputName << ", line " << m_lineNumber << ": " << text.m_reason << '\n' << std::flush;
        m_refused = true;
        return false;
    }
    m_reader.Swipe(BuildCardSwipe(text.m_value));
    return true;
}

}  // namespace corvalt
