#include "virtualreader/virtual_reader_host.h"

#include <cerrno>
#include <cstring>

#include "virtualreader/virtual_reader_device.h"

namespace corvalt {

VirtualReaderHost::VirtualReaderHost(HidHost& systemHost, VirtualReader& reader)
    : systemHost_(systemHost), reader_(reader), lastError_(&ownError_)
{
}

bool VirtualReaderHost::ListInterfaces(std::vector<HidInterfaceInfo>& interfaces)
{
    lastError_ = &systemHost_.LastError();
    const bool listed = systemHost_.ListInterfaces(interfaces);
    if (!listed)
        interfaces.clear();
    if (!reader_.IsListed())
        return listed;
    interfaces.push_back({kVirtualReaderPath, true, reader_.VendorId(), reader_.ProductId()});
    ownError_ = {};
    lastError_ = &ownError_;
    return true;
}

std::unique_ptr<HidDevice> VirtualReaderHost::Open(const std::string& path, HidAccess access)
{
    if (path != kVirtualReaderPath) {
        lastError_ = &systemHost_.LastError();
        return systemHost_.Open(path, access);
    }
    lastError_ = &ownError_;
    ownError_ = {};
    if (!reader_.IsListed()) {
        ownError_ = {ENOENT, "open " + path + ": " + std::strerror(ENOENT)};
        return nullptr;
    }
    return std::make_unique<VirtualReaderDevice>(reader_, path);
}

}  // namespace corvalt
