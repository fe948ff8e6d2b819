// The program's command line. Every option is declared in command_line.cpp's
// AddOptions, and whatever a run needs from them is a field of CommandLine.
//
// The line is read before the window's QApplication exists, so --help,
// --version and a wrong option answer on a machine without a display.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

#include "recording/hid_recording.h"

namespace corvalt {

inline constexpr int kExitUsage = 2;  // an unknown option or an unexpected argument

struct CommandLine {
    // Set when the program ends without opening its window: `message` goes
    // to standard output when exitCode is 0, else to standard error.
    bool exitNow = false;
    int exitCode = 0;
    QString message;
    // --virtual-reader: the product id of the simulated reader to list after
    // the real ones; 0 for none.
    uint16_t virtualReaderProductId = 0;
    // --replay: the recording, read and found replayable, and its file as
    // given.
    std::optional<HidRecording> replay;
    QString replayFile;
};

// Parses the arguments, program name first, and reads the recording that
// --replay names. Needs a QCoreApplication (the usage text names the
// program from it).
CommandLine ParseCommandLine(const QStringList& arguments);

// Parses main's arguments in a short-lived QCoreApplication and, when the
// program is to end, prints the message. Call before any QApplication.
CommandLine ReadCommandLine(int argc, char* argv[]);

}  // namespace corvalt
