// The program's own texts are UTF-8; Qt's are UTF-16.
#pragma once

#include <filesystem>
#include <string_view>

#include <QFile>
#include <QString>

namespace corvalt {

inline QString ToQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A file name the operator chose, as the system names the file: the wide
// name on Windows, the local 8-bit bytes elsewhere.
inline std::filesystem::path ToPath(const QString& fileName)
{
#ifdef _WIN32
    return std::filesystem::path(fileName.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(fileName).toStdString());
#endif
}

}  // namespace corvalt
