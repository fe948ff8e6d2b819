// What the command console asks of the main window, and the window's fields
// it works on. The window implements it with its widgets; tests can use a
// window of their own.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace corvalt {

// The command list has this many slots.
constexpr size_t kCommandSlotCount = 255;
using CommandSlots = std::array<std::string, kCommandSlotCount>;

class ConsoleWindow {
public:
    virtual ~ConsoleWindow() = default;

    // The command-mode transcript, UTF-8, lines separated by CR LF: the
    // record the window shows.
    virtual std::string CommandText() const = 0;
    virtual bool HasCommandText() const = 0;
    // Replaces the command-mode transcript and shows it.
    virtual void ShowCommandText(const std::string& text) = 0;
    // Adds text at the end of the command-mode transcript and shows it if
    // the window shows that transcript: the cost does not grow with it.
    virtual void AppendCommandText(std::string_view text) = 0;
    // When the command-mode transcript ends in oldEnd, puts newEnd in its
    // place and shows it, at the same cost as appending; otherwise changes
    // nothing and returns false.
    virtual bool ReplaceCommandTextEnd(std::string_view oldEnd, std::string_view newEnd) = 0;

    // The command edit. Setting it notifies the edit's change handler, as
    // typing does.
    virtual std::string CommandEditText() const = 0;
    virtual void SetCommandEditText(const std::string& text) = 0;

    virtual void FocusCommandEdit() = 0;
    virtual void FocusTranscript() = 0;
    virtual void ShowStatus(std::string_view text) = 0;
    virtual void EnableDownloadButton(bool enable) = 0;
    // Around a download: the mode radios and the configuration controls.
    virtual void EnableForDownload(bool enable) = 0;

    // Handles every pending window event, then returns.
    virtual void PumpMessages() = 0;
    // Changes whenever the window switches mode or is closed. A send or a
    // download that finds it changed after the window handled its events
    // stops there: it sends nothing more and writes nothing more, but that
    // a request it had written was not sent.
    virtual unsigned CommandSession() const = 0;
};

// The window's fields that the console reads and changes.
struct ConsoleFields {
    CommandSlots& m_strCommands;  // the list Download runs, in normal form
    int& m_nCommandCount;         // valid entries from slot 0
    bool& m_bDownloading;         // true while a download runs
    bool& m_bAutoAddLength;       // frame with a computed length byte
};

}  // namespace corvalt
