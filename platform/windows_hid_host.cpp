#include "platform/windows_hid_host.h"

// windows.h first: SetupAPI needs its types.
#include <windows.h>
#include <setupapi.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <string_view>
#include <utility>

#include "platform/system_parse.h"
#include "platform/windows_hid_calls.h"
#include "platform/windows_text.h"

namespace corvalt {
namespace {

HidErrorKind SystemKind(DWORD code)
{
    switch (code) {
    case ERROR_SUCCESS: return HidErrorKind::None;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return HidErrorKind::AccessDenied;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return HidErrorKind::NotFound;
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_BAD_COMMAND:
    case ERROR_OPERATION_ABORTED: return HidErrorKind::Gone;
    default: return HidErrorKind::Other;
    }
}

// The error of a failed system call: what was done, on what, and the
// system's reason.
HidError SystemError(DWORD code, const std::string& what)
{
    return {SystemKind(code), static_cast<int>(code), what + " failed: " + WindowsErrorText(code)};
}

// "vid_0801&pid_0002" in an interface path, in any case.
bool ParseIds(const std::string& path, uint16_t& vendorId, uint16_t& productId)
{
    std::string lower(path);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto hex = [&lower](std::string_view key, uint16_t& value) {
        const size_t at = lower.find(key);
        if (at == std::string::npos || lower.size() < at + key.size() + 4)
            return false;
        const char* first = lower.data() + at + key.size();
        const auto [end, ec] = std::from_chars(first, first + 4, value, 16);
        return ec == std::errc() && end == first + 4;
    };
    return hex("vid_", vendorId) && hex("pid_", productId);
}

class WindowsHidDevice final : public HidDevice {
public:
    WindowsHidDevice(HANDLE handle, HANDLE readDone, std::string path)
        : m_handle(handle), m_readDone(readDone), m_path(std::move(path))
    {
    }
    WindowsHidDevice(const WindowsHidDevice&) = delete;
    WindowsHidDevice& operator=(const WindowsHidDevice&) = delete;
    ~WindowsHidDevice() override;

    bool GetAttributes(HidAttributes& attributes) override;
    bool GetReportDescriptor(std::vector<uint8_t>& descriptor) override;
    HIDP_PREPARSED_DATA* ParseReportDescriptor(std::string* whyRefused) override;
    bool SetFeature(const uint8_t* report, size_t length) override;
    bool GetFeature(uint8_t* report, size_t length) override;
    HidReadStatus ReadInput(uint8_t* buffer, size_t length, size_t* bytesRead) override;
    const HidError& LastError() const override { return m_lastError; }

private:
    // Always false, so that failing calls can end with it; takes
    // GetLastError() first, before anything can change it.
    bool FailSystem(const char* operation)
    {
        m_lastError = SystemError(::GetLastError(), std::string(operation) + " on " + m_path);
        return false;
    }
    bool FailArguments(const char* operation, const char* why)
    {
        m_lastError = {HidErrorKind::Other, static_cast<int>(ERROR_INVALID_PARAMETER),
                       std::string(operation) + " on " + m_path + ": " + why};
        return false;
    }
    // Hands over the report a finished read left in m_readBuffer.
    HidReadStatus Deliver(DWORD received, uint8_t* buffer, size_t length, size_t* bytesRead);

    HANDLE m_handle;
    HANDLE m_readDone;  // the event of the overlapped read
    std::string m_path;
    HidError m_lastError;
    OVERLAPPED m_read{};
    bool m_reading = false;  // a read is under way in m_read and m_readBuffer
    std::vector<uint8_t> m_readBuffer;
};

WindowsHidDevice::~WindowsHidDevice()
{
    if (m_reading) {
        // The system writes into m_readBuffer until the read is over: it is
        // cancelled and waited for before the buffer goes.
        DWORD ignored = 0;
        ::CancelIoEx(m_handle, &m_read);
        ::GetOverlappedResult(m_handle, &m_read, &ignored, TRUE);
    }
    ::CloseHandle(m_readDone);
    ::CloseHandle(m_handle);
}

bool WindowsHidDevice::GetAttributes(HidAttributes& attributes)
{
    m_lastError = {};
    if (!windows_hid::GetAttributes(m_handle, attributes))
        return FailSystem("HidD_GetAttributes");
    return true;
}

bool WindowsHidDevice::GetReportDescriptor(std::vector<uint8_t>&)
{
    m_lastError = {HidErrorKind::Other, static_cast<int>(ERROR_NOT_SUPPORTED),
                   "reading the report descriptor of " + m_path + ": Windows parses it itself and hands out no bytes"};
    return false;
}

HIDP_PREPARSED_DATA* WindowsHidDevice::ParseReportDescriptor(std::string*)
{
    m_lastError = {};
    std::unique_ptr<SystemParse> parse = windows_hid::GetSystemParse(m_handle);
    if (!parse) {
        FailSystem("HidD_GetPreparsedData");
        return nullptr;
    }
    return AdoptSystemParse(std::move(parse));
}

bool WindowsHidDevice::SetFeature(const uint8_t* report, size_t length)
{
    m_lastError = {};
    if (report == nullptr || length < 2 || length > MAXDWORD)
        return FailArguments("HidD_SetFeature", "a feature report needs its id byte and at least one data byte");
    if (!windows_hid::SetFeature(m_handle, report, length))
        return FailSystem("HidD_SetFeature");
    return true;
}

bool WindowsHidDevice::GetFeature(uint8_t* report, size_t length)
{
    m_lastError = {};
    if (report == nullptr || length < 2 || length > MAXDWORD)
        return FailArguments("HidD_GetFeature", "a feature report needs its id byte and at least one data byte");
    if (!windows_hid::GetFeature(m_handle, report, length))
        return FailSystem("HidD_GetFeature");
    return true;
}

HidReadStatus WindowsHidDevice::Deliver(DWORD received, uint8_t* buffer, size_t length, size_t* bytesRead)
{
    m_reading = false;
    if (received == 0) {
        m_lastError = SystemError(ERROR_DEVICE_NOT_CONNECTED, "reading an input report from " + m_path);
        return HidReadStatus::Failed;
    }
    // Windows puts the report id in byte 0 whether or not the device
    // numbers its reports (0 when it does not), as the caller wants it.
    const size_t count = std::min<size_t>(received, length);
    std::memcpy(buffer, m_readBuffer.data(), count);
    std::memset(buffer + count, 0, length - count);
    *bytesRead = count;
    return HidReadStatus::Complete;
}

HidReadStatus WindowsHidDevice::ReadInput(uint8_t* buffer, size_t length, size_t* bytesRead)
{
    m_lastError = {};
    if (bytesRead != nullptr)
        *bytesRead = 0;
    if (buffer == nullptr || bytesRead == nullptr || length < 2 || length > MAXDWORD) {
        FailArguments("reading an input report", "needs a buffer of at least 2 bytes and a place for the count");
        return HidReadStatus::Failed;
    }
    DWORD received = 0;
    if (m_reading) {
        if (::GetOverlappedResult(m_handle, &m_read, &received, FALSE))
            return Deliver(received, buffer, length, bytesRead);
        if (::GetLastError() == ERROR_IO_INCOMPLETE)
            return HidReadStatus::Pending;
        m_reading = false;
        FailSystem("reading an input report");
        return HidReadStatus::Failed;
    }
    // The system wants room for a whole report: the caller's length is the
    // report's, as the descriptor gives it.
    m_readBuffer.assign(length, 0);
    m_read = {};
    m_read.hEvent = m_readDone;
    m_reading = true;
    if (::ReadFile(m_handle, m_readBuffer.data(), static_cast<DWORD>(length), &received, &m_read))
        return Deliver(received, buffer, length, bytesRead);
    if (::GetLastError() == ERROR_IO_PENDING)
        return HidReadStatus::Pending;
    m_reading = false;
    FailSystem("reading an input report");
    return HidReadStatus::Failed;
}

struct DeviceListCloser {
    void operator()(HDEVINFO list) const { ::SetupDiDestroyDeviceInfoList(list); }
};

}  // namespace

bool WindowsHidHost::ListInterfaces(std::vector<HidInterfaceInfo>& interfaces)
{
    m_lastError = {};
    interfaces.clear();
    GUID hidClass{};
    windows_hid::GetInterfaceClass(&hidClass);
    HDEVINFO list = ::SetupDiGetClassDevsW(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (list == INVALID_HANDLE_VALUE) {
        m_lastError = SystemError(::GetLastError(), "listing HID devices: SetupDiGetClassDevs");
        return false;
    }
    const std::unique_ptr<void, DeviceListCloser> listOwner(list);
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA entry{};
        entry.cbSize = sizeof entry;
        if (!::SetupDiEnumDeviceInterfaces(list, nullptr, &hidClass, index, &entry)) {
            const DWORD code = ::GetLastError();
            if (code == ERROR_NO_MORE_ITEMS)
                break;
            m_lastError = SystemError(code, "listing HID devices: SetupDiEnumDeviceInterfaces");
            return false;
        }
        DWORD size = 0;
        ::SetupDiGetDeviceInterfaceDetailW(list, &entry, nullptr, 0, &size, nullptr);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
            continue;  // gone since it was listed
        // The detail is a header followed by the path; kept in storage
        // aligned for the header.
        std::vector<DWORD> storage(size / sizeof(DWORD) + 1);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!::SetupDiGetDeviceInterfaceDetailW(list, &entry, detail, size, nullptr, nullptr))
            continue;
        HidInterfaceInfo info;
        info.path = Utf8FromWide(detail->DevicePath);
        info.idsKnown = ParseIds(info.path, info.vendorId, info.productId);
        interfaces.push_back(std::move(info));
    }
    // By path, so that the order does not depend on the system's.
    std::ranges::sort(interfaces, {}, &HidInterfaceInfo::path);
    return true;
}

std::unique_ptr<HidDevice> WindowsHidHost::Open(const std::string& path, HidAccess access)
{
    m_lastError = {};
    const bool readWrite = access == HidAccess::ReadWrite;
    // No access asked for is what lets a program query a device that
    // another one, or the system, holds open for reading.
    const HANDLE handle =
        ::CreateFileW(WideFromUtf8(path).c_str(), readWrite ? GENERIC_READ | GENERIC_WRITE : 0,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        m_lastError = SystemError(::GetLastError(),
                                  "opening " + path + (readWrite ? " for reading and writing" : " for queries"));
        return nullptr;
    }
    const HANDLE readDone = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (readDone == nullptr) {
        m_lastError = SystemError(::GetLastError(), "opening " + path + ": CreateEvent");
        ::CloseHandle(handle);
        return nullptr;
    }
    return std::make_unique<WindowsHidDevice>(handle, readDone, path);
}

}  // namespace corvalt
