// Text to and from the Windows API, which speaks UTF-16: the program's own
// text is UTF-8 everywhere.
#pragma once

#include <string>

namespace corvalt {

std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& wide);

// The system's text for a GetLastError() code, without its line end or
// final full stop; "error N" when the system has none.
std::string WindowsErrorText(unsigned long code);

}  // namespace corvalt
