#include "cli/prefixed_lines.h"

#include <utility>

namespace corvalt {

PrefixedLineBuffer::PrefixedLineBuffer(std::ostream& target, std::string prefix)
    : m_target(target), m_prefix(std::move(prefix))
{
}

PrefixedLineBuffer::int_type PrefixedLineBuffer::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    if (m_atLineStart)
        m_target << m_prefix;
    const char ch = traits_type::to_char_type(c);
    m_target.put(ch);
    m_atLineStart = ch == '\n';
    return m_target ? c : traits_type::eof();
}

int PrefixedLineBuffer::sync()
{
    m_target.flush();
    return m_target ? 0 : -1;
}

}  // namespace corvalt
