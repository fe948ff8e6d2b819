// The application: sets up the reader connection and runs the main window
// modally; when the window closes, the program ends.
#pragma once

#include <QApplication>

#include "app/command_line.h"

namespace corvalt {

class CCorvaltApp final : public QApplication {
public:
    CCorvaltApp(int& argc, char** argv);

    // Runs the main window, with the virtual reader or a replayed one and
    // the Virtual Reader window when the command line asks for it; returns
    // the program's exit code.
    int InitInstance(const CommandLine& commandLine);
};

}  // namespace corvalt
