// The host seen through --match VID:PID: of the interfaces the host lists,
// only those with those ids, as lsusb -d picks devices. Either id may be
// "*" for any.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hid_host.h"

namespace corvalt {

struct IdMatch {
    std::optional<uint16_t> vendorId;  // none: any
    std::optional<uint16_t> productId;
};

// "0801:0002", "0x0801:*", "*:3001": each side 1 to 4 hex digits, with or
// without 0x, or "*". None when the text is not of that form.
std::optional<IdMatch> ParseIdMatch(std::string_view text);

class MatchingHost final : public HidHost {
public:
    MatchingHost(HidHost& host, IdMatch match);

    // The interfaces whose ids match; one whose ids cannot be told matches
    // only "*:*".
    bool ListInterfaces(std::vector<HidInterfaceInfo>& interfaces) override;
    std::unique_ptr<HidDevice> Open(const std::string& path, HidAccess access) override;
    const HidError& LastError() const override { return m_host.LastError(); }

private:
    HidHost& m_host;
    IdMatch m_match;
};

}  // namespace corvalt
