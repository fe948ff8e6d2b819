#include "cli/single_path_host.h"

#include <algorithm>
#include <cctype>
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
    if (listedPath == m_path || std::filesystem::equivalent(listedPath, m_path, error))
        return true;
#ifdef _WIN32
    // Windows' interface paths name the same interface in any case.
    const auto lower = [](unsigned char c) { return std::tolower(c); };
    return std::ranges::equal(listedPath, m_path, {}, lower, lower);
#else
    return false;
#endif
}

}  // namespace corvalt
