// The program's name and version as --version and the system see them.
#pragma once

namespace corvalt {

// Sets QCoreApplication's application name and version.
void SetApplicationIdentity();

}  // namespace corvalt
