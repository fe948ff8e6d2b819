// The HID host on Linux: /sys/class/hidraw for the list, /dev/hidrawN nodes
// for everything else.
//
// Listing reads only sysfs, so it needs no permission on the device nodes:
// the ids come from the HID device's uevent (HID_ID=bus:vendor:product).
// An open device talks to the kernel through the hidraw ioctls for its
// identity, its report descriptor and feature reports, and through
// non-blocking read() for input reports, which it hands back with the report
// id in byte 0 whether or not the device numbers its reports.
#pragma once

#include "platform/hid_host.h"

namespace corvalt {

class HidrawHost final : public HidHost {
public:
    bool ListInterfaces(std::vector<HidInterfaceInfo>& interfaces) override;
    std::unique_ptr<HidDevice> Open(const std::string& path, HidAccess access) override;
    const HidError& LastError() const override { return m_lastError; }

private:
    void Fail(int code, std::string message);

    HidError m_lastError;
};

}  // namespace corvalt
