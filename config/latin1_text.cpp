#include "config/latin1_text.h"

#include "text/utf8_text.h"

namespace corvalt {

Latin1Text ToLatin1(std::string_view utf8)
{
    Latin1Text result;
    size_t at = 0;
    while (at < utf8.size()) {
        const Utf8Char next = DecodeUtf8(utf8, at);
        if (next.m_length != 0 && next.m_codePoint <= 0xFF) {
            result.bytes += static_cast<char>(next.m_codePoint);
        } else {
            result.bytes += '?';
            result.exact = false;
        }
        at += next.m_length != 0 ? next.m_length : 1;
    }
    return result;
}

}  // namespace corvalt
