// The HID host on Windows: SetupAPI lists the present interfaces of the HID
// class, CreateFile opens one by its interface path, and the system's HID
// library answers everything else.
//
// Windows hands a program no report descriptor: an open device's
// descriptor is the system's parse of it, queried through the system's own
// HidP_* functions. Input reports come from overlapped reads, so that a
// read never blocks: a read started and not yet answered is pending, and
// is cancelled when the device is closed.
#pragma once

#include "platform/hid_host.h"

namespace corvalt {

class WindowsHidHost final : public HidHost {
public:
    bool ListInterfaces(std::vector<HidInterfaceInfo>& interfaces) override;
    std::unique_ptr<HidDevice> Open(const std::string& path, HidAccess access) override;
    const HidError& LastError() const override { return m_lastError; }

private:
    HidError m_lastError;
};

}  // namespace corvalt
