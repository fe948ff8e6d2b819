// The HID host on Linux: /sys/class/hidraw for the list, /dev/hidrawN nodes
// for everything else.
#pragma once

#include "platform/hid_host.h"

namespace corvalt {

class HidrawHost final : public HidHost {
public:
    bool ListInterfaces(std::vector<HidInterfaceInfo>& interfaces) override;
    std::unique_ptr<HidDevice> Open(const std::string& path, HidAccess access) override;
    const HidError& LastError() const override { return lastError_; }

private:
    HidError lastError_;
};

}  // namespace corvalt
