// The HID host with the virtual reader: the system's own host, with the
// virtual reader listed after the system's devices. Everything else goes
// to the system's host unchanged, so discovery, the settle wait, reads and
// command exchanges run as they do with a real reader.
#pragma once

#include "platform/hid_host.h"
#include "virtualreader/virtual_reader.h"

namespace corvalt {

// The virtual reader's place in the device list.
inline constexpr const char* kVirtualReaderPath = "virtual-reader";
// The name it is listed by.
inline constexpr const char* kVirtualReaderName = "Corvalt Virtual Reader";

class VirtualReaderHost final : public HidHost {
public:
    VirtualReaderHost(HidHost& systemHost, VirtualReader& reader);

    // The system's list with the virtual reader after it while it is listed.
    // A system list that cannot be read leaves the virtual reader alone on it.
    bool ListInterfaces(std::vector<HidInterfaceInfo>& interfaces) override;
    std::unique_ptr<HidDevice> Open(const std::string& path, HidAccess access) override;
    const HidError& LastError() const override { return *m_lastError; }

private:
    HidHost& m_systemHost;
    VirtualReader& m_reader;
    HidError m_ownError;
    const HidError* m_lastError;
};

}  // namespace corvalt
