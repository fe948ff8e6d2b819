// The host seen through --device: of the interfaces the host lists, only the
// one at the given path (or a link to it). Discovery runs over it unchanged
// and finds that reader or none.
#pragma once

#include <string>
#include <vector>

#include "platform/hid_host.h"

namespace corvalt {

class SinglePathHost final : public HidHost {
public:
    SinglePathHost(HidHost& host, std::string path);

    // The interface at the path, under the name the host lists it by; an
    // empty list when the host does not list it.
    bool ListInterfaces(std::vector<HidInterfaceInfo>& interfaces) override;
    std::unique_ptr<HidDevice> Open(const std::string& path, HidAccess access) override;
    const HidError& LastError() const override { return m_host.LastError(); }

private:
    bool IsThePath(const std::string& listedPath) const;

    HidHost& m_host;
    std::string m_path;
};

}  // namespace corvalt
