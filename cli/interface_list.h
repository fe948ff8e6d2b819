// corvalt-cli list: each HID interface the host lists, with its ids and
// name, whether it is a reader this program drives and in which mode, and
// whether it can be opened; as one line each or as one JSON document.
#pragma once

#include <ostream>

#include "platform/hid_host.h"

namespace corvalt {

enum class ListFormat { kText, kJson };

// verbose adds the lengths of the interface's reports and, when its report
// descriptor was refused or its reports are longer than the program reads,
// why. False when the host could not list its interfaces; its error says
// why.
bool ListInterfaces(HidHost& host, bool verbose, ListFormat format, std::ostream& out);

}  // namespace corvalt
