#include "cli/matching_host.h"

#include <charconv>

#include "cli/interface_ids.h"

namespace corvalt {

namespace {

// One side of VID:PID: true when it is well formed; "*" leaves the id empty.
bool ParseId(std::string_view text, std::optional<uint16_t>& id)
{
    if (text == "*")
        return true;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    uint16_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || text.size() > 4 || error != std::errc() || end != text.data() + text.size())
        return false;
    id = value;
    return true;
}

bool Matches(const std::optional<uint16_t>& wanted, uint16_t id)
{
    return !wanted || *wanted == id;
}

}  // namespace

std::optional<IdMatch> ParseIdMatch(std::string_view text)
{
    const size_t colon = text.find(':');
    IdMatch match;
    if (colon == std::string_view::npos || !ParseId(text.substr(0, colon), match.vendorId) ||
        !ParseId(text.substr(colon + 1), match.productId))
        return std::nullopt;
    return match;
}

MatchingHost::MatchingHost(HidHost& host, IdMatch match) : m_host(host), m_match(match) {}

bool MatchingHost::ListInterfaces(std::vector<HidInterfaceInfo>& interfaces)
{
    if (!m_host.ListInterfaces(interfaces))
        return false;
    if (!m_match.vendorId && !m_match.productId)
        return true;
    std::erase_if(interfaces, [this](const HidInterfaceInfo& info) {
        const std::optional<HidAttributes> ids = InterfaceIds(m_host, info);
        return !ids || !Matches(m_match.vendorId, ids->vendorId) || !Matches(m_match.productId, ids->productId);
    });
    return true;
}

std::unique_ptr<HidDevice> MatchingHost::Open(const std::string& path, HidAccess access)
{
    return m_host.Open(path, access);
}

}  // namespace corvalt
