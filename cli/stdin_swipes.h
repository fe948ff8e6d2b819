// watch --virtual-reader in a pipeline: each line of standard input is a
// card swiped through the virtual reader, its tracks separated by '|':
//
//   %B4111111111111111^TEST/CARD^2512?|;4111111111111111=2512?|
//
// A field may be empty, and the fields left out are empty tracks.
#pragma once

#include <istream>
#include <ostream>
#include <string_view>

#include "text/result.h"
#include "virtualreader/card_swipe_builder.h"
#include "virtualreader/virtual_reader.h"

namespace corvalt {

// The tracks of one line (a CR before its end is dropped); more than three
// fields are refused.
Result<SwipeText> ParseSwipeLine(std::string_view line);

class StandardInputSwipes {
public:
    StandardInputSwipes(VirtualReader& reader, std::istream& in, std::ostream& err);

    // Swipes the card of the next line. False at the end of the input, and
    // at a line that is refused, which is said on err with its number.
    bool SwipeNext();
    bool Refused() const { return m_refused; }

private:
    VirtualReader& m_reader;
    std::istream& m_in;
    std::ostream& m_err;
    size_t m_lineNumber = 0;
    bool m_refused = false;
};

}  // namespace corvalt
