// Standard error as Linux tools write it: every line starts with the
// program's name, "corvalt-cli: ", so that a message still says where it
// came from in a pipeline's or a cron job's mixed output.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>
#include <utility>

namespace corvalt {

// Writes each line to the target with the prefix in front. Nothing is kept
// back: every character goes on at once, so its lines and those written to
// the target directly keep their order. A failed write to the target fails
// this buffer's stream too.
class PrefixedLineBuffer final : public std::streambuf {
public:
    PrefixedLineBuffer(std::ostream& target, std::string prefix);

private:
    int_type overflow(int_type c) override;
    int sync() override;

    std::ostream& m_target;
    std::string m_prefix;
    bool m_atLineStart = true;
};

class PrefixedLines {
public:
    PrefixedLines(std::ostream& target, std::string prefix) : m_buffer(target, std::move(prefix)) {}
    std::ostream& Stream() { return m_stream; }

private:
    PrefixedLineBuffer m_buffer;
    std::ostream m_stream{&m_buffer};
};

}  // namespace corvalt
