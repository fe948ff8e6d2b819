// The program's name, version and icon as --version and the system see them.
#pragma once

#include <QIcon>

namespace corvalt {

// Sets QCoreApplication's application name and version.
void SetApplicationIdentity();

// The program's icon: drawn from its SVG where Qt reads SVG (Linux), from
// PNGs rendered of it at build time elsewhere (Windows).
QIcon ApplicationIcon();

}  // namespace corvalt
