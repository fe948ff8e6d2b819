#include "app/app_identity.h"

#include <QCoreApplication>
#include <QDir>

namespace corvalt {

void SetApplicationIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("Corvalt"));
    // The version is the project's, from CMake.
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVALT_VERSION));
}

QIcon ApplicationIcon()
{
    // The build puts the icon's files under :/icons, in whichever format
    // the platform's Qt reads: one SVG, or PNGs of several sizes.
    QIcon icon;
    for (const QFileInfo& file : QDir(QStringLiteral(":/icons")).entryInfoList(QDir::Files))
        icon.addFile(file.filePath());
    return icon;
}

}  // namespace corvalt
