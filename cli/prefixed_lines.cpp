#include "cli/prefixed_lines.h"

#include <utility>

#include "cli/shell_text.h"

namespace corvalt {

PrefixedLineBuffer::PrefixedLineBuffer(std::ostream& target, std::string prefix)
    : m_target(target), m_prefix(std::move(prefix))
{
}

PrefixedLineBuffer::int_type PrefixedLineBuffer::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    const char ch = traits_type::to_char_type(c);
    if (ch != '\n') {
        m_line.push_back(ch);
        return c;
    }
    WriteLine(true);
    return m_target ? c : traits_type::eof();
}

int PrefixedLineBuffer::sync()
{
    if (!m_line.empty())
        WriteLine(false);
    m_target.flush();
    return m_target ? 0 : -1;
}

void PrefixedLineBuffer::WriteLine(bool ended)
{
    std::string text = m_atLineStart ? m_prefix : std::string();
    text.append(TextForShell(m_line));
    if (ended)
        text.push_back('\n');
    m_target << text;
    m_line.clear();
    m_atLineStart = ended;
}

}  // namespace corvalt
