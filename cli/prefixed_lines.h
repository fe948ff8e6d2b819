// Standard error as Linux tools write it: every line starts with the
// program's name, "corvalt-cli: ", so that a message still says where it
// came from in a pipeline's or a cron job's mixed output. A message may
// carry a file's name or a reader's words: their control characters are
// shown as pictures (shell_text.h), so that none moves the cursor or
// changes the terminal.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>
#include <utility>

namespace corvalt {

// Writes each line to the target with the prefix in front, in one piece,
// once its line break comes or the stream is flushed: lines written to the
// target directly keep their order with these as long as this stream is
// flushed before them. A failed write to the target fails this buffer's
// stream too.
class PrefixedLineBuffer final : public std::streambuf {
public:
    PrefixedLineBuffer(std::ostream& target, std::string prefix);

private:
    int_type overflow(int_type c) override;
    int sync() override;
    // Writes what the line holds so far, behind the prefix at its start.
    void WriteLine(bool ended);

    std::ostream& m_target;
    std::string m_prefix;
    std::string m_line;  // not yet written
    bool m_atLineStart = true;
};

class PrefixedLines {
public:
    PrefixedLines(std::ostream& target, std::string prefix) : m_buffer(target, std::move(prefix)) {}
    // A last line left without its line break is not lost.
    ~PrefixedLines() { m_stream.flush(); }
    PrefixedLines(const PrefixedLines&) = delete;
    PrefixedLines& operator=(const PrefixedLines&) = delete;
    std::ostream& Stream() { return m_stream; }

private:
    PrefixedLineBuffer m_buffer;
    std::ostream m_stream{&m_buffer};
};

}  // namespace corvalt
