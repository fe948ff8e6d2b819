#include "reader/reader_connection.h"

#include <algorithm>
#include <vector>

namespace corvalt {

namespace {

bool IsAccessError(const HidError& error)
{
    return error.kind == HidErrorKind::AccessDenied;
}

// Opens a listed interface read-write or, failing that, for queries only.
// Remembers a refusal for lack of permission so the user can be told.
std::unique_ptr<HidDevice> OpenInterface(HidHost& host, const std::string& path, bool& accessDenied)
{
    std::unique_ptr<HidDevice> device = host.Open(path, HidAccess::ReadWrite);
    if (device)
        return device;
    const bool readWriteDenied = IsAccessError(host.LastError());
    device = host.Open(path, HidAccess::QueryOnly);
    if (!device)
        accessDenied = readWriteDenied || IsAccessError(host.LastError());
    return device;
}

// The identity checks a freshly opened interface must pass to become the
// reader. On failure the caller closes it; when the interface has a
// reader's ids but cannot be driven, `unsupported` says why.
bool PassesIdentityChecks(ReaderConnection& c, std::string& unsupported)
{
    if (!HidD_GetAttributes(*c.hDevice, &c.Attributes))
        return false;
    if (!IsAcceptedVendor(c.Attributes.VendorID) || !IsAcceptedProduct(c.Attributes.ProductID))
        return false;
    PHIDP_PREPARSED_DATA parsed = nullptr;
    if (!HidD_GetPreparsedData(*c.hDevice, &parsed, &unsupported))
        return false;
    c.pPreparsedData.reset(parsed);
    if (HidP_GetCaps(c.pPreparsedData.get(), &c.Caps) != HIDP_STATUS_SUCCESS)
        return false;
    unsupported = ReportsTooLong(c.Caps);
    return unsupported.empty();
}

bool IsListed(const std::vector<HidInterfaceInfo>& interfaces, const std::string& path)
{
    return std::ranges::find(interfaces, path, &HidInterfaceInfo::path) != interfaces.end();
}

// What a fresh list says about the nodes met before: one that has left is
// new when it comes back and settles again, and the open reader whose node
// has left is gone, as after an unplug.
void ForgetWhatLeft(ReaderConnection& c, const std::vector<HidInterfaceInfo>& interfaces)
{
    std::erase_if(c.SettledPaths, [&](const std::string& path) { return !IsListed(interfaces, path); });
    if (c.IsOpen() && !IsListed(interfaces, c.ReaderPath))
        CloseReader(c);
}

}  // namespace

std::string ReportsTooLong(const HIDP_CAPS& caps)
{
    const auto tooLong = [](const char* report, size_t length, size_t capacity) {
        return std::string(report) + " report of " + std::to_string(length) + " bytes, at most " +
               std::to_string(capacity);
    };
    if (caps.InputReportByteLength > kInputReportCapacity)
        return tooLong("input", caps.InputReportByteLength, kInputReportCapacity);
    if (caps.FeatureReportByteLength > kFeatureReportCapacity)
        return tooLong("feature", caps.FeatureReportByteLength, kFeatureReportCapacity);
    return {};
}

ReaderConnection::ReaderConnection(HidHost& hidHost, Clock& systemClock) : host(hidHost), clock(systemClock) {}

ReaderConnection::~ReaderConnection()
{
    CloseReader(*this);
}

bool OpenReader(ReaderConnection& c)
{
    std::vector<HidInterfaceInfo> interfaces;
    if (!c.host.ListInterfaces(interfaces))
        return false;

    ForgetWhatLeft(c, interfaces);
    if (c.IsOpen())
        return true;  // nothing to discover

    c.bAccessDenied = false;
    c.DeniedPath.clear();
    c.UnsupportedReason.clear();
    for (const HidInterfaceInfo& info : interfaces) {
        const bool idsAccepted = IsAcceptedVendor(info.vendorId) && IsAcceptedProduct(info.productId);
        // Interfaces whose ids are known without opening them and are not a
        // reader's are passed over at once: waiting for each of them would
        // freeze the window for seconds with a keyboard and a mouse attached.
        if (info.idsKnown && !idsAccepted)
            continue;

        if (c.SettledPaths.insert(info.path).second)
            c.clock.Sleep(kSettleWaitMs);

        bool accessDenied = false;
        c.hDevice = OpenInterface(c.host, info.path, accessDenied);
        if (!c.hDevice) {
            if (accessDenied && info.idsKnown && !c.bAccessDenied) {
                c.bAccessDenied = true;
                c.DeniedPath = info.path;
            }
            continue;
        }
        std::string unsupported;
        if (PassesIdentityChecks(c, unsupported)) {
            c.ReaderPath = info.path;
            return true;
        }
        if (c.UnsupportedReason.empty())
            c.UnsupportedReason = unsupported;
        CloseReader(c);
    }
    return true;
}

void CloseReader(ReaderConnection& c)
{
    c.hDevice.reset();
    c.ReaderPath.clear();
    c.pPreparsedData.reset();
}

void CloseFailedReader(ReaderConnection& c)
{
    if (c.IsOpen() && c.hDevice->LastError().kind == HidErrorKind::Gone)
        c.SettledPaths.erase(c.ReaderPath);
    CloseReader(c);
}

void InitReaderConnection(ReaderConnection& c)
{
    c.LastErrorText.clear();
    // A mode switch has closed the reader already; closing again releases
    // anything a caller left behind instead of leaking it.
    CloseReader(c);
    c.bAccessDenied = false;
    c.DeniedPath.clear();
    c.UnsupportedReason.clear();
    c.SettledPaths.clear();
}

bool IsHidInterfacePresent(ReaderConnection& c)
{
    std::vector<HidInterfaceInfo> interfaces;
    if (!c.host.ListInterfaces(interfaces))
        return false;
    ForgetWhatLeft(c, interfaces);
    return !interfaces.empty();
}

std::string UnsupportedReaderText(std::string_view reason)
{
    return "Reader found, but it is not supported (" + std::string(reason) + ")";
}

bool VerifyFeatureReport(const ReaderConnection& c)
{
    return c.Caps.FeatureReportByteLength > 1;
}

}  // namespace corvalt
