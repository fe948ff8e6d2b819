// The system's own words for the failures the tests provoke.
#pragma once

#include <string>

#ifdef _WIN32
#include "platform/windows_text.h"
#endif

namespace corvalt::testing {

// Opening a file in a folder that does not exist.
inline std::string NoSuchFolderText()
{
#ifdef _WIN32
    // ERROR_PATH_NOT_FOUND, by number: <windows.h> would clash with the
    // HID parser's names that the window's headers bring in.
    return WindowsErrorText(3);
#else
    return "No such file or directory";
#endif
}

}  // namespace corvalt::testing
