#include "cli/interface_list.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <iomanip>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_texts.h"
#include "cli/interface_ids.h"
#include "cli/shell_text.h"
#include "cli/stop_request.h"
#include "console/console_texts.h"
#include "platform/hidd.h"
#include "platform/hidp.h"
#include "reader/reader_connection.h"
#include "reader/reader_models.h"
#include "text/utf8_text.h"

namespace corvalt {

namespace {

enum class Access { kReadWrite, kQueryOnly, kNone };

// What the listing tells of one interface.
struct ListedInterface {
    std::string path;
    std::string name;  // as the system tells it
    std::optional<HidAttributes> ids;
    bool supported = false;
    Access access = Access::kNone;
    std::string accessError;  // why it cannot be opened
    // With --verbose, when the device could be opened.
    std::optional<HIDP_CAPS> caps;
    std::string refused;  // why its descriptor or its reports do not serve
};

// Opens the interface as discovery does, read-write or else for queries.
std::unique_ptr<HidDevice> OpenAsDiscoveryDoes(HidHost& host, ListedInterface& listed)
{
    if (std::unique_ptr<HidDevice> device = host.Open(listed.path, HidAccess::ReadWrite)) {
        listed.access = Access::kReadWrite;
        return device;
    }
    const HidError readWriteError = host.LastError();
    if (std::unique_ptr<HidDevice> device = host.Open(listed.path, HidAccess::QueryOnly)) {
        listed.access = Access::kQueryOnly;
        return device;
    }
    const bool denied = readWriteError.kind == HidErrorKind::AccessDenied;
    listed.accessError = denied && listed.supported ? std::string(kAccessDeniedAdvice) : readWriteError.message;
    return nullptr;
}

// The report lengths of the descriptor, or why it cannot serve.
void ReadReports(HidDevice& device, ListedInterface& listed)
{
    PHIDP_PREPARSED_DATA parsed = nullptr;
    std::string refused;
    if (!HidD_GetPreparsedData(device, &parsed, &refused)) {
        listed.refused = refused.empty() ? device.LastError().message : std::string(kDescriptorRefused) + refused;
        return;
    }
    const UniquePreparsedData descriptor(parsed);
    HIDP_CAPS caps{};
    HidP_GetCaps(descriptor.get(), &caps);
    listed.caps = caps;
    const std::string tooLong = ReportsTooLong(caps);
    if (listed.supported && !tooLong.empty())
        listed.refused = UnsupportedReaderText(tooLong);
}

std::vector<ListedInterface> Describe(HidHost& host, const std::vector<HidInterfaceInfo>& interfaces, bool verbose)
{
    std::vector<ListedInterface> described;
    // A stop (a failed write among them) ends the list before the next
    // interface is opened.
    for (size_t i = 0; i < interfaces.size() && !StopRequested(); ++i) {
        const HidInterfaceInfo& info = interfaces[i];
        ListedInterface listed;
        listed.path = info.path;
        listed.name = info.name;
        listed.ids = InterfaceIds(host, info);
        listed.supported = IsSupportedReader(listed.ids);
        const std::unique_ptr<HidDevice> device = OpenAsDiscoveryDoes(host, listed);
        if (verbose && device)
            ReadReports(*device, listed);
        described.push_back(std::move(listed));
    }
    return described;
}

bool IsHidMode(const ListedInterface& listed)
{
    return FindReaderModel(listed.ids->productId)->mode == ReaderMode::kHid;
}

void WriteText(const std::vector<ListedInterface>& described, bool verbose, std::ostream& out)
{
    size_t pathWidth = 0;
    size_t nameWidth = 0;
    for (const ListedInterface& listed : described) {
        pathWidth = std::max(pathWidth, listed.path.size());
        nameWidth = std::max(nameWidth, TextForShell(listed.name).size());
    }
    for (const ListedInterface& listed : described) {
        out << std::left << std::setw(static_cast<int>(pathWidth)) << listed.path << "  "
            << (listed.ids ? IdsText(listed.ids->vendorId, listed.ids->productId) : std::string(kUnknownIds)) << "  ";
        if (nameWidth > 0)
            out << std::setw(static_cast<int>(nameWidth)) << TextForShell(listed.name) << "  ";
        if (!listed.supported)
            out << kNotSupported;
        else
            out << kSupportedReader << ", " << (IsHidMode(listed) ? kHidMode : kKeyboardMode);
        switch (listed.access) {
        case Access::kReadWrite: out << ", " << kCanBeOpened; break;
        case Access::kQueryOnly: out << ", " << kQueriesOnly; break;
        case Access::kNone: out << ", " << kCannotBeOpened << listed.accessError; break;
        }
        if (verbose && listed.caps)
            out << ", report lengths: input " << listed.caps->InputReportByteLength << ", output "
                << listed.caps->OutputReportByteLength << ", feature " << listed.caps->FeatureReportByteLength;
        if (verbose && !listed.refused.empty())
            out << ", " << listed.refused;
        out << '\n';
    }
}

nlohmann::ordered_json OrNull(const std::optional<HIDP_CAPS>& caps, uint16_t HIDP_CAPS::*length)
{
    return caps ? nlohmann::ordered_json((*caps).*length) : nlohmann::ordered_json(nullptr);
}

void WriteJson(const std::vector<ListedInterface>& described, bool verbose, std::ostream& out)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const ListedInterface& listed : described) {
        nlohmann::ordered_json item;
        item["path"] = listed.path;
        item["vendor_id"] = listed.ids ? nlohmann::ordered_json(listed.ids->vendorId) : nullptr;
        item["product_id"] = listed.ids ? nlohmann::ordered_json(listed.ids->productId) : nullptr;
        item["name"] = ToValidUtf8(listed.name);
        item["supported"] = listed.supported;
        item["mode"] = listed.supported ? nlohmann::ordered_json(IsHidMode(listed) ? "hid" : "keyboard") : nullptr;
        item["access"] = listed.access == Access::kReadWrite   ? "read-write"
                         : listed.access == Access::kQueryOnly ? "query-only"
                                                               : "none";
        if (listed.access == Access::kNone)
            item["access_error"] = listed.accessError;
        if (verbose) {
            item["input_report_length"] = OrNull(listed.caps, &HIDP_CAPS::InputReportByteLength);
            item["output_report_length"] = OrNull(listed.caps, &HIDP_CAPS::OutputReportByteLength);
            item["feature_report_length"] = OrNull(listed.caps, &HIDP_CAPS::FeatureReportByteLength);
            item["refused"] =
                listed.refused.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(listed.refused);
        }
        list.push_back(std::move(item));
    }
    out << list.dump(2, ' ', true) << '\n';
}

}  // namespace

bool ListInterfaces(HidHost& host, bool verbose, ListFormat format, std::ostream& out)
{
    std::vector<HidInterfaceInfo> interfaces;
    if (!host.ListInterfaces(interfaces))
        return false;
    const std::vector<ListedInterface> described = Describe(host, interfaces, verbose);
    if (format == ListFormat::kJson)
        WriteJson(described, verbose, out);
    else
        WriteText(described, verbose, out);
    out.flush();
    return true;
}

}  // namespace corvalt
