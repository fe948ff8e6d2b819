// The application: sets up the reader connection and runs the main window
// modally; when the window closes, the program ends.
#pragma once

#include <QApplication>

namespace corvalt {

class CCorvaltApp final : public QApplication {
public:
    CCorvaltApp(int& argc, char** argv);

    // Runs the main window; returns the program's exit code.
    int InitInstance();
};

}  // namespace corvalt
