#include "app/app_identity.h"

#include <QCoreApplication>

namespace corvalt {

void SetApplicationIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("Corvalt"));
    // The version is the project's, from CMake.
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVALT_VERSION));
}

}  // namespace corvalt
