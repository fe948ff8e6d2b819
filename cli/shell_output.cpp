#include "cli/shell_output.h"

#include <cerrno>
#include <utility>

#include "cli/stop_request.h"

namespace corvalt {

ShellOutput::ShellOutput(std::string_view name, Write write)
    : std::ostream(nullptr), m_name(name), m_buffer(std::move(write))
{
    rdbuf(&m_buffer);
}

ShellOutput::Buffer::int_type ShellOutput::Buffer::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return WriteAll(&byte, 1) ? c : traits_type::eof();
}

std::streamsize ShellOutput::Buffer::xsputn(const char* bytes, std::streamsize count)
{
    return WriteAll(bytes, static_cast<size_t>(count)) ? count : 0;
}

bool ShellOutput::Buffer::WriteAll(const char* bytes, size_t count)
{
    while (count > 0 && !m_closed) {
        long written;
        int code;
        {
            const InterruptibleWrite interruptible;
            written = m_write(bytes, count);
            code = errno;
        }
        if (written > 0) {
            bytes += written;
            count -= static_cast<size_t>(written);
            // A write cut short by an interrupt that asks for a stop is given up.
            m_closed = count > 0 && Interrupted();
            continue;
        }
        if (written == 0)
            code = EIO;  // no progress and no reason: never retried
        else if (code == EINTR && !Interrupted())
            continue;  // a signal that asks for nothing
        m_closed = true;
        if (code != EINTR) {
            m_error = code;
            RequestStop(StopCause::kOutputFailed);
        }
    }
    return count == 0;
}

}  // namespace corvalt
