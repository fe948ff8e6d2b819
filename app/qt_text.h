// The program's own texts are UTF-8; Qt's are UTF-16.
#pragma once

#include <string_view>

#include <QString>

namespace corvalt {

inline QString ToQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace corvalt
