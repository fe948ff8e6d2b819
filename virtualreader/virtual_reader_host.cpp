#include "virtualreader/virtual_reader_host.h"

#include <cerrno>
#include <cstring>

#include "virtualreader/virtual_reader_device.h"

namespace corvalt {

VirtualReaderHost::VirtualReaderHost(HidHost& systemHost, VirtualReader& reader)
    : m_systemHost(systemHost), m_reader(reader), m_lastError(&m_ownError)
{
}

bool VirtualReaderHost::ListInterfaces(std::vector<HidInterfaceInfo>& interfaces)
{
    m_lastError = &m_systemHost.LastError();
    const bool listed = m_systemHost.ListInterfaces(interfaces);
    if (!listed)
        interfaces.clear();
    if (!m_reader.IsListed())
        return listed;
    interfaces.push_back({kVirtualReaderPath, true, m_reader.VendorId(), m_reader.ProductId(), kVirtualReaderName});
    m_ownError = {};
    m_lastError = &m_ownError;
    return true;
}

std::unique_ptr<HidDevice> VirtualReaderHost::Open(const std::string& path, HidAccess access)
{
    if (path != kVirtualReaderPath) {
        m_lastError = &m_systemHost.LastError();
        return m_systemHost.Open(path, access);
    }
    m_lastError = &m_ownError;
    m_ownError = {};
    if (!m_reader.IsListed()) {
        m_ownError = ErrnoHidError(ENOENT, "open " + path + ": " + std::strerror(ENOENT));
        return nullptr;
    }
    return std::make_unique<VirtualReaderDevice>(m_reader, path);
}

}  // namespace corvalt
