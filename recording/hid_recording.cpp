#include "recording/hid_recording.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>

#include "text/path_text.h"
#include "text/utf8_text.h"

namespace corvalt {

namespace {

std::string HexBytes(const std::vector<uint8_t>& bytes)
{
    std::string text;
    char byte[4];
    for (const uint8_t value : bytes) {
        std::snprintf(byte, sizeof byte, " %02x", static_cast<unsigned>(value));
        text += byte;
    }
    return text;
}

// A word of the file in a reason, quoted: a control character, which could
// move a terminal's cursor or forge a line where the reason is shown, as '?'.
std::string Quoted(std::string_view word)
{
    const std::string valid = ToValidUtf8(word);
    std::string shown;
    for (size_t at = 0; at < valid.size();) {
        const Utf8Char c = DecodeUtf8(valid, at);
        const bool control = c.m_codePoint < 0x20 || (c.m_codePoint >= 0x7F && c.m_codePoint <= 0x9F);
        shown.append(control ? std::string_view("?") : std::string_view(valid).substr(at, c.m_length));
        at += c.m_length;
    }
    return "'" + shown + "'";
}

// The next blank-separated word of the line, taken off its front.
std::string_view NextWord(std::string_view& line)
{
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        line = {};
        return {};
    }
    line.remove_prefix(start);
    const size_t end = std::min(line.find_first_of(" \t"), line.size());
    const std::string_view word = line.substr(0, end);
    line.remove_prefix(end);
    return word;
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view word, int base)
{
    Number value{};
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
    if (word.empty() || error != std::errc() || end != word.data() + word.size())
        return std::nullopt;
    return value;
}

// "LENGTH BYTES...": the bytes, when there are as many as the length says.
Result<std::vector<uint8_t>> LengthAndBytes(std::string_view rest)
{
    const std::optional<size_t> length = ParseNumber<size_t>(NextWord(rest), 10);
    if (!length)
        return Failure{"no length"};
    std::vector<uint8_t> bytes;
    for (std::string_view word = NextWord(rest); !word.empty(); word = NextWord(rest)) {
        const std::optional<uint8_t> byte = word.size() == 2 ? ParseNumber<uint8_t>(word, 16) : std::nullopt;
        if (!byte)
            return Failure{Quoted(word) + " is not a byte in hex"};
        if (bytes.size() == *length)
            return Failure{"more bytes than the length " + std::to_string(*length)};
        bytes.push_back(*byte);
    }
    if (bytes.size() != *length)
        return Failure{std::to_string(bytes.size()) + " bytes where the length says " + std::to_string(*length)};
    return bytes;
}

// "SECONDS.MICROSECONDS".
std::optional<uint64_t> Timestamp(std::string_view word)
{
    const size_t dot = word.find('.');
    if (dot == std::string_view::npos || word.size() - dot - 1 != 6)
        return std::nullopt;
    const std::optional<uint64_t> seconds = ParseNumber<uint64_t>(word.substr(0, dot), 10);
    const std::optional<uint64_t> micro = ParseNumber<uint64_t>(word.substr(dot + 1), 10);
    if (!seconds || !micro || *seconds > UINT64_MAX / 1000000 - 1)
        return std::nullopt;
    return *seconds * 1000000 + *micro;
}

// The I: line: bus, vendor and product in hex.
Result<void> ReadIds(std::string_view rest, HidRecording& recording)
{
    const std::optional<uint16_t> bus = ParseNumber<uint16_t>(NextWord(rest), 16);
    const std::optional<uint16_t> vendor = ParseNumber<uint16_t>(NextWord(rest), 16);
    const std::optional<uint16_t> product = ParseNumber<uint16_t>(NextWord(rest), 16);
    if (!bus || !vendor || !product || !NextWord(rest).empty())
        return Failure{"not 'I: bus vendor product' in hex"};
    recording.bus = *bus;
    recording.vendorId = *vendor;
    recording.productId = *product;
    return {};
}

Result<void> ReadLine(std::string_view line, HidRecording& recording, bool& idsRead, bool& descriptorRead)
{
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    if (line.empty() || line.starts_with('#'))
        return {};
    if (line.size() < 2 || line[1] != ':')
        return Failure{"not a line of a recording: '#' or a letter and ':' begins one"};
    const char kind = line[0];
    std::string_view rest = line.substr(2);
    switch (kind) {
    case 'N': recording.name = std::string(rest.substr(rest.starts_with(' ') ? 1 : 0)); return {};
    case 'P': return {};
    case 'D':
        if (NextWord(rest) != "0" || !rest.empty())
            return Failure{"a recording of more than one device"};
        return {};
    case 'I':
        if (idsRead)
            return Failure{"a second I: line"};
        idsRead = true;
        return ReadIds(rest, recording);
    case 'R': {
        if (descriptorRead)
            return Failure{"a second report descriptor"};
        descriptorRead = true;
        Result<std::vector<uint8_t>> bytes = LengthAndBytes(rest);
        if (!bytes.Succeeded())
            return Failure{"report descriptor: " + bytes.m_reason};
        recording.descriptor = std::move(bytes.m_value);
        return {};
    }
    case 'E': {
        if (!descriptorRead)
            return Failure{"a report before the report descriptor"};
        const std::optional<uint64_t> time = Timestamp(NextWord(rest));
        if (!time)
            return Failure{"no time as seconds.microseconds"};
        if (!recording.reports.empty() && *time < recording.reports.back().microseconds)
            return Failure{"a report recorded before the one above it"};
        Result<std::vector<uint8_t>> bytes = LengthAndBytes(rest);
        if (!bytes.Succeeded())
            return Failure{"report: " + bytes.m_reason};
        if (bytes.m_value.empty())
            return Failure{"an empty report"};
        recording.reports.push_back({*time, std::move(bytes.m_value)});
        return {};
    }
    default: return Failure{Quoted(line.substr(0, 2)) + " is not a kind of line of a recording"};
    }
}

}  // namespace

std::string RecordingHeader(const HidRecording& recording)
{
    char ids[32];
    std::snprintf(ids, sizeof ids, "I: %x %04x %04x\n", static_cast<unsigned>(recording.bus),
                  static_cast<unsigned>(recording.vendorId), static_cast<unsigned>(recording.productId));
    // The name stays on its line.
    std::string name = recording.name;
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    return "N: " + name + "\n" + ids + "R: " + std::to_string(recording.descriptor.size()) +
           HexBytes(recording.descriptor) + "\n";
}

std::string RecordingEvent(const RecordedReport& report)
{
    // Seconds and microseconds, six digits each at least.
    const auto padded = [](uint64_t value) {
        const std::string digits = std::to_string(value);
        return std::string(digits.size() < 6 ? 6 - digits.size() : 0, '0') + digits;
    };
    return "E: " + padded(report.microseconds / 1000000) + "." + padded(report.microseconds % 1000000) + " " +
           std::to_string(report.bytes.size()) + HexBytes(report.bytes) + "\n";
}

Result<HidRecording> ParseHidRecording(std::string_view text)
{
    HidRecording recording;
    bool idsRead = false;
    bool descriptorRead = false;
    size_t number = 0;
    while (!text.empty()) {
        ++number;
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const Result<void> read = ReadLine(line, recording, idsRead, descriptorRead);
        if (!read.Succeeded())
            return Failure{"line " + std::to_string(number) + ": " + read.m_reason};
    }
    if (!idsRead)
        return Failure{"no I: line with the device's ids"};
    if (!descriptorRead)
        return Failure{"no R: line with the report descriptor"};
    return recording;
}

Result<HidRecording> ReadHidRecordingFile(const std::filesystem::path& path)
{
    const std::string name = PathText(path);
    // What the system said, when it said something.
    const auto failed = [&name](const char* what) {
        return Failure{"\"" + name + "\": " + (errno != 0 ? std::strerror(errno) : what)};
    };
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return failed("cannot be opened");
    // One byte past the limit tells a file that is too long.
    std::string text;
    char buffer[65536];
    errno = 0;
    while (text.size() <= kRecordingFileLimit && file.read(buffer, sizeof buffer).gcount() > 0)
        text.append(buffer, static_cast<size_t>(file.gcount()));
    if (file.bad())
        return failed("cannot be read");
    if (text.size() > kRecordingFileLimit)
        return Failure{"\"" + name + "\" is longer than a recording may be (" +
                       std::to_string(kRecordingFileLimit >> 20) + " MiB)"};
    Result<HidRecording> recording = ParseHidRecording(text);
    if (!recording.Succeeded())
        return Failure{"\"" + name + "\", " + recording.m_reason};
    return recording;
}

}  // namespace corvalt
