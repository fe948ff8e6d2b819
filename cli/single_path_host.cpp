#include "cli/single_path_host.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace corvalt {

SinglePathHost::SinglePathHost(HidHost& host, std::string path) : m_host(host), m_path(std::move(path)) {}

bool SinglePathHost::ListInterfaces(std::vector<HidInterfaceInfo>& interfaces)
{
    if (!m_host.ListInterfaces(interfaces))
        return false;
    std::erase_if(interfaces, [this](const HidInterfaceInfo& info) { return !IsThePath(info.path); });
    return true;
}

std::unique_ptr<HidDevice> SinglePathHost::Open(const std::string& path, HidAccess access)
{
    return m_host.Open(path, access);
}

bool SinglePathHost::IsThePath(const std::string& listedPath) const
{
    // A udev link (/dev/my-reader) names the same node as the list does.
    std::error_code error;
    return listedPath == m_path || std::filesystem::equivalent(listedPath, m_path, error);
}

}  // namespace corvalt
