// The one UTF-8 decoder that script listings and sentinel edits share: what
// it takes as a character and what it refuses; and the encoder, back.
#include "text/utf8_text.h"

#include <gtest/gtest.h>

namespace corvalt {
namespace {

TEST(DecodeUtf8, TakesWellFormedSequencesOnly)
{
    const struct {
        std::string text;
        size_t length;
        uint32_t codePoint;
    } cases[] = {
        {std::string(1, '\0'), 1, 0x00},
        {"A", 1, 0x41},
        {"\xC2\x80", 2, 0x80},
        {"\xC3\xBF", 2, 0xFF},
        {"\xDF\xBF", 2, 0x7FF},      // the last of two bytes
        {"\xE0\xA0\x80", 3, 0x800},  // the first of three
        {"\xE2\x82\xAC", 3, 0x20AC},
        {"\xEF\xBF\xBD", 3, 0xFFFD},
        {"\xF0\x9F\x98\x80", 4, 0x1F600},
        {"\xF4\x8F\xBF\xBF", 4, 0x10FFFF},
        {"\x80", 0, 0},              // a continuation byte alone
        {"\xC0\xAF", 0, 0},          // overlong "/"
        {"\xE0\x9F\xBF", 0, 0},      // overlong, three bytes
        {"\xF0\x8F\xBF\xBF", 0, 0},  // overlong, four bytes
        {"\xED\xA0\x80", 0, 0},      // a surrogate
        {"\xF4\x90\x80\x80", 0, 0},  // beyond U+10FFFF
        {"\xF8\x88\x80\x80\x80", 0, 0},
        {"\xE2\x82", 0, 0},      // cut short
        {"\xE2\x41\xAC", 0, 0},  // interrupted
    };
    for (const auto& c : cases) {
        const Utf8Char decoded = DecodeUtf8(c.text, 0);
        EXPECT_EQ(decoded.m_length, c.length) << ::testing::PrintToString(c.text);
        if (c.length != 0) {
            EXPECT_EQ(decoded.m_codePoint, c.codePoint) << ::testing::PrintToString(c.text);
        }
        if (c.length != 0 && c.codePoint < 0x10000) {
            std::string encoded;
            AppendUtf8(encoded, c.codePoint);
            EXPECT_EQ(encoded, c.text) << "encoding U+" << std::hex << c.codePoint;
        }
    }
    EXPECT_EQ(ToValidUtf8("a\xE2\x82"
                          "b\xC3\xA9"),
              "a\uFFFD\uFFFDb\u00E9");
}

}  // namespace
}  // namespace corvalt
