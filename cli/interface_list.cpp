#include "cli/interface_list.h"

#include <algorithm>
#include <iomanip>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_texts.h"
#include "cli/interface_ids.h"
#include "cli/stop_request.h"
#include "console/console_texts.h"
#include "platform/hidd.h"
#include "platform/hidp.h"
#include "reader/reader_connection.h"
#include "reader/reader_models.h"

namespace corvalt {

namespace {

// "supported reader, HID mode" or "not a supported reader".
std::string ReaderText(const std::optional<HidAttributes>& ids)
{
    if (!IsSupportedReader(ids))
        return std::string(kNotSupported);
    const bool hid = FindReaderModel(ids->productId)->mode == ReaderMode::kHid;
    return std::string(kSupportedReader) + ", " + std::string(hid ? kHidMode : kKeyboardMode);
}

// Opens the interface as discovery does, read-write or else for queries;
// says how it went in `access`.
std::unique_ptr<HidDevice> OpenAsDiscoveryDoes(HidHost& host, const std::string& path, bool supported,
                                               std::string& access)
{
    if (std::unique_ptr<HidDevice> device = host.Open(path, HidAccess::ReadWrite)) {
        access = kCanBeOpened;
        return device;
    }
    const HidError readWriteError = host.LastError();
    if (std::unique_ptr<HidDevice> device = host.Open(path, HidAccess::QueryOnly)) {
        access = kQueriesOnly;
        return device;
    }
    const bool denied = readWriteError.kind == HidErrorKind::AccessDenied;
    access = std::string(kCannotBeOpened) +
             (denied && supported ? std::string(kAccessDeniedAdvice) : readWriteError.message);
    return nullptr;
}

// The report lengths of the descriptor, or why it cannot serve.
std::string ReportsText(HidDevice& device, bool supported)
{
    PHIDP_PREPARSED_DATA parsed = nullptr;
    std::string refused;
    if (!HidD_GetPreparsedData(device, &parsed, &refused))
        return refused.empty() ? device.LastError().message : std::string(kDescriptorRefused) + refused;
    const UniquePreparsedData descriptor(parsed);
    HIDP_CAPS caps{};
    HidP_GetCaps(descriptor.get(), &caps);
    std::string text = "report lengths: input " + std::to_string(caps.InputReportByteLength) + ", output " +
                       std::to_string(caps.OutputReportByteLength) + ", feature " +
                       std::to_string(caps.FeatureReportByteLength);
    const std::string tooLong = ReportsTooLong(caps);
    if (supported && !tooLong.empty())
        text += ", " + UnsupportedReaderText(tooLong);
    return text;
}

}  // namespace

bool ListInterfaces(HidHost& host, bool verbose, std::ostream& out)
{
    std::vector<HidInterfaceInfo> interfaces;
    if (!host.ListInterfaces(interfaces))
        return false;
    size_t pathWidth = 0;
    for (const HidInterfaceInfo& info : interfaces)
        pathWidth = std::max(pathWidth, info.path.size());

    // A stop (a failed write among them) ends the list before the next
    // interface is opened.
    for (size_t i = 0; i < interfaces.size() && !StopRequested(); ++i) {
        const HidInterfaceInfo& info = interfaces[i];
        const std::optional<HidAttributes> ids = InterfaceIds(host, info);
        const bool supported = IsSupportedReader(ids);
        std::string access;
        const std::unique_ptr<HidDevice> device = OpenAsDiscoveryDoes(host, info.path, supported, access);

        out << std::left << std::setw(static_cast<int>(pathWidth)) << info.path << "  "
            << (ids ? IdsText(ids->vendorId, ids->productId) : std::string(kUnknownIds)) << "  " << ReaderText(ids)
            << ", " << access;
        if (verbose && device)
            out << ", " << ReportsText(*device, supported);
        out << '\n';
    }
    out.flush();
    return true;
}

}  // namespace corvalt
