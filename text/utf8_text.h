// UTF-8 as the program reads it: one decoder for every text from outside
// (script files, the panels' edits), and bytes made fit to show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvalt {

// One character read from UTF-8 text.
struct Utf8Char {
    size_t m_length = 0;       // bytes it takes; 0 when no well-formed sequence starts there
    uint32_t m_codePoint = 0;  // meaningful only when m_length is not 0
};

// The character whose sequence starts at text[at] (at < text.size()). An
// overlong form, a surrogate, a value beyond U+10FFFF, a stray continuation
// byte and a sequence cut short are not well-formed.
Utf8Char DecodeUtf8(std::string_view text, size_t at);

// Appends one Unicode character, below U+10000, as UTF-8.
void AppendUtf8(std::string& text, uint32_t codePoint);

// Valid UTF-8 stays as it is; every byte that does not belong to a
// well-formed sequence becomes the replacement character U+FFFD.
std::string ToValidUtf8(std::string_view bytes);

}  // namespace corvalt
