// Standard output and standard error as corvalt-cli writes them: straight
// through to the file, each write checked. A write that fails asks the run
// to stop (stop_request.h) before anything more is read from or sent to a
// reader, and the stream writes nothing more; its error decides the exit
// status. A write an interrupt cuts short is given up the same way, but is
// no failure: Ctrl+C ends a program whose output is stalled.
#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>

namespace corvalt {

class ShellOutput final : public std::ostream {
public:
    // Writes some of the bytes as write(2) does: returns how many, or -1
    // with errno set.
    using Write = std::function<long(const char* bytes, size_t count)>;

    // name: how the error line names the stream, e.g. "standard output".
    ShellOutput(std::string_view name, Write write);

    std::string_view Name() const { return m_name; }
    // The errno of the write that failed; 0 while none has.
    int Error() const { return m_buffer.Error(); }

private:
    class Buffer final : public std::streambuf {
    public:
        explicit Buffer(Write write) : m_write(std::move(write)) {}
        int Error() const { return m_error; }

    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* bytes, std::streamsize count) override;

    private:
        bool WriteAll(const char* bytes, size_t count);

        Write m_write;
        int m_error = 0;
        bool m_closed = false;  // a write failed or was given up
    };

    std::string m_name;
    Buffer m_buffer;
};

}  // namespace corvalt
