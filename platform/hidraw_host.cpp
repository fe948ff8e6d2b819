#include "platform/hidraw_host.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/hid.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/hidp.h"

namespace corvalt {
namespace {

constexpr const char* kHidrawClassDir = "/sys/class/hidraw";

// A sysfs attribute holds at most a page; anything longer is not a uevent
// file we understand, and reading stops there.
constexpr size_t kMaxUeventBytes = 16384;

// The largest length the feature-report ioctls can carry: the length is
// encoded in the request number's size field.
constexpr size_t kMaxIoctlLength = _IOC_SIZEMASK;

// The most of a report descriptor HIDIOCGRDESC hands over: it refuses any
// longer length, so a longer descriptor cannot be read whole.
constexpr int kMaxDescriptorRead = HID_MAX_DESCRIPTOR_SIZE - 1;

// Owns one file descriptor and closes it when it goes, so that no error path
// can leak one.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }

    void Reset()
    {
        if (m_fd >= 0) {
            // Linux releases the descriptor even when close() reports an
            // error (EINTR included), so it is never retried.
            ::close(m_fd);
            m_fd = -1;
        }
    }

private:
    int m_fd = -1;
};

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using UniqueDir = std::unique_ptr<DIR, DirCloser>;

// strerror_r comes in two flavours (XSI returns int, GNU returns the text);
// these overloads take whichever the C library declares.
[[maybe_unused]] const char* StrerrorResult(int result, const char* buffer)
{
    return result == 0 ? buffer : "unknown error";
}
[[maybe_unused]] const char* StrerrorResult(const char* result, const char*)
{
    return result;
}

std::string ErrnoText(int code)
{
    char buffer[256] = {};
    return StrerrorResult(strerror_r(code, buffer, sizeof buffer), buffer);
}

int OpenRetrying(const char* path, int flags)
{
    int fd;
    do {
        fd = ::open(path, flags);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// "hidraw" followed by decimal digits only; the number orders the list.
bool ParseHidrawName(std::string_view name, unsigned long& number)
{
    constexpr std::string_view prefix = "hidraw";
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) {
        return false;
    }
    const std::string_view digits = name.substr(prefix.size());
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number, 10);
    return ec == std::errc() && end == digits.data() + digits.size();
}

// One field of HID_ID: 1 to 8 hex digits, nothing else.
bool ParseHexField(std::string_view field, uint32_t& value)
{
    if (field.empty() || field.size() > 8) {
        return false;
    }
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value, 16);
    return ec == std::errc() && end == field.data() + field.size();
}

// Finds "HID_ID=BBBB:VVVVVVVV:PPPPPPPP" among the uevent lines. The kernel
// prints vendor and product as 32-bit numbers; USB and Bluetooth ids are the
// low 16 bits.
bool ParseHidId(std::string_view uevent, uint16_t& vendorId, uint16_t& productId)
{
    constexpr std::string_view key = "HID_ID=";
    while (!uevent.empty()) {
        const size_t newline = uevent.find('\n');
        const std::string_view line = uevent.substr(0, newline);
        uevent = newline == std::string_view::npos ? std::string_view() : uevent.substr(newline + 1);
        if (line.substr(0, key.size()) != key) {
            continue;
        }
        const std::string_view value = line.substr(key.size());
        const size_t first = value.find(':');
        const size_t second = first == std::string_view::npos ? first : value.find(':', first + 1);
        if (second == std::string_view::npos) {
            return false;
        }
        uint32_t bus = 0, vendor = 0, product = 0;
        if (!ParseHexField(value.substr(0, first), bus) ||
            !ParseHexField(value.substr(first + 1, second - first - 1), vendor) ||
            !ParseHexField(value.substr(second + 1), product)) {
            return false;
        }
        vendorId = static_cast<uint16_t>(vendor & 0xFFFF);
        productId = static_cast<uint16_t>(product & 0xFFFF);
        return true;
    }
    return false;
}

// The value of "HID_NAME=..." among the uevent lines: the name the device
// gives itself, or the kernel makes of its vendor and product strings. Empty
// when there is none.
std::string ParseHidName(std::string_view uevent)
{
    constexpr std::string_view key = "HID_NAME=";
    while (!uevent.empty()) {
        const size_t newline = uevent.find('\n');
        const std::string_view line = uevent.substr(0, newline);
        uevent = newline == std::string_view::npos ? std::string_view() : uevent.substr(newline + 1);
        if (line.substr(0, key.size()) == key) {
            return std::string(line.substr(key.size()));
        }
    }
    return {};
}

// Reads a small sysfs file whole, up to kMaxUeventBytes.
bool ReadSmallFile(const std::string& path, std::string& contents)
{
    UniqueFd fd(OpenRetrying(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) {
        return false;
    }
    contents.assign(kMaxUeventBytes, '\0');
    size_t used = 0;
    while (used < contents.size()) {
        const ssize_t n = ::read(fd.Get(), contents.data() + used, contents.size() - used);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (n == 0) {
            break;
        }
        used += static_cast<size_t>(n);
    }
    contents.resize(used);
    return true;
}

class HidrawDevice final : public HidDevice {
public:
    HidrawDevice(UniqueFd fd, std::string path) : m_fd(std::move(fd)), m_path(std::move(path)) {}

    bool GetAttributes(HidAttributes& attributes) override;
    bool GetReportDescriptor(std::vector<uint8_t>& descriptor) override;
    bool SetFeature(const uint8_t* report, size_t length) override;
    bool GetFeature(uint8_t* report, size_t length) override;
    HidReadStatus ReadInput(uint8_t* buffer, size_t length, size_t* bytesRead) override;
    const HidError& LastError() const override { return m_lastError; }

private:
    // Always returns false, so that failing calls can end with it.
    bool Fail(int code, std::string message);
    bool FailErrno(int code, const char* operation);

    // Reads the descriptor without touching m_lastError; on failure returns
    // the errno-style code and says why in *why.
    int ReadDescriptor(std::vector<uint8_t>& descriptor, std::string* why);

    // Whether input reports arrive with their id byte in front. Found from
    // the descriptor on the first read and kept: a device cannot change its
    // descriptor without being plugged in again under a new node.
    bool UsesReportIds();

    bool CheckFeatureArguments(const uint8_t* report, size_t length, const char* operation);

    UniqueFd m_fd;
    std::string m_path;
    HidError m_lastError;
    std::optional<bool> m_usesReportIds;
};

bool HidrawDevice::Fail(int code, std::string message)
{
    m_lastError = ErrnoHidError(code, std::move(message));
    return false;
}

bool HidrawDevice::FailErrno(int code, const char* operation)
{
    return Fail(code, std::string(operation) + " on " + m_path + " failed: " + ErrnoText(code));
}

bool HidrawDevice::GetAttributes(HidAttributes& attributes)
{
    m_lastError = {};
    hidraw_devinfo info{};
    if (::ioctl(m_fd.Get(), HIDIOCGRAWINFO, &info) < 0) {
        return FailErrno(errno, "HIDIOCGRAWINFO");
    }
    // The kernel declares the ids as signed 16-bit fields; ids of 0x8000 and
    // above come out negative unless taken back to unsigned.
    attributes.vendorId = static_cast<uint16_t>(info.vendor);
    attributes.productId = static_cast<uint16_t>(info.product);
    attributes.versionNumber = 0;  // hidraw does not tell the release number
    return true;
}

int HidrawDevice::ReadDescriptor(std::vector<uint8_t>& descriptor, std::string* why)
{
    int size = 0;
    if (::ioctl(m_fd.Get(), HIDIOCGRDESCSIZE, &size) < 0) {
        const int code = errno;
        *why = "HIDIOCGRDESCSIZE on " + m_path + " failed: " + ErrnoText(code);
        return code;
    }
    if (size < 0 || size > kMaxDescriptorRead) {
        *why = "report descriptor of " + std::to_string(size) + " bytes, at most " + std::to_string(kMaxDescriptorRead);
        return EMSGSIZE;
    }
    // 4 KiB: kept off the stack. Value-initialised, so bytes the kernel does
    // not fill read as zero rather than as leftovers.
    auto raw = std::make_unique<hidraw_report_descriptor>();
    raw->size = static_cast<uint32_t>(size);
    if (::ioctl(m_fd.Get(), HIDIOCGRDESC, raw.get()) < 0) {
        const int code = errno;
        *why = "HIDIOCGRDESC on " + m_path + " failed: " + ErrnoText(code);
        return code;
    }
    descriptor.assign(raw->value, raw->value + size);
    return 0;
}

bool HidrawDevice::GetReportDescriptor(std::vector<uint8_t>& descriptor)
{
    m_lastError = {};
    std::string why;
    if (const int code = ReadDescriptor(descriptor, &why); code != 0) {
        return Fail(code, std::move(why));
    }
    return true;
}

bool HidrawDevice::UsesReportIds()
{
    if (!m_usesReportIds) {
        // A descriptor that cannot be read or parsed leaves the reports
        // taken as unnumbered, the layout of most simple devices.
        bool numbered = false;
        std::vector<uint8_t> descriptor;
        std::string why;
        if (ReadDescriptor(descriptor, &why) == 0 && !descriptor.empty()) {
            const UniquePreparsedData parsed(HidP_ParseReportDescriptor(descriptor.data(), descriptor.size()));
            numbered = parsed && HidDescriptorUsesReportIds(parsed.get());
        }
        m_usesReportIds = numbered;
    }
    return *m_usesReportIds;
}

bool HidrawDevice::CheckFeatureArguments(const uint8_t* report, size_t length, const char* operation)
{
    if (report == nullptr || length < 2) {
        return Fail(EINVAL, std::string(operation) + " on " + m_path +
                                ": a feature report needs its id byte and at least one data byte");
    }
    if (length > kMaxIoctlLength) {
        return Fail(EINVAL, std::string(operation) + " on " + m_path + ": " + std::to_string(length) +
                                " bytes is longer than the " + std::to_string(kMaxIoctlLength) + " an ioctl can carry");
    }
    return true;
}

bool HidrawDevice::SetFeature(const uint8_t* report, size_t length)
{
    m_lastError = {};
    if (!CheckFeatureArguments(report, length, "HIDIOCSFEATURE")) {
        return false;
    }
    // The kernel only reads the buffer; the ioctl is declared read-write.
    if (::ioctl(m_fd.Get(), HIDIOCSFEATURE(length), const_cast<uint8_t*>(report)) < 0) {
        return FailErrno(errno, "HIDIOCSFEATURE");
    }
    return true;
}

bool HidrawDevice::GetFeature(uint8_t* report, size_t length)
{
    m_lastError = {};
    if (!CheckFeatureArguments(report, length, "HIDIOCGFEATURE")) {
        return false;
    }
    const int received = ::ioctl(m_fd.Get(), HIDIOCGFEATURE(length), report);
    if (received < 0) {
        return FailErrno(errno, "HIDIOCGFEATURE");
    }
    if (static_cast<size_t>(received) > length) {
        return Fail(EIO, "HIDIOCGFEATURE on " + m_path + " returned " + std::to_string(received) +
                             " bytes for a buffer of " + std::to_string(length));
    }
    // The count includes the id byte, which stays as the caller set it or
    // as the kernel rewrote it.
    const size_t kept = std::max<size_t>(static_cast<size_t>(received), 1);
    std::memset(report + kept, 0, length - kept);
    return true;
}

HidReadStatus HidrawDevice::ReadInput(uint8_t* buffer, size_t length, size_t* bytesRead)
{
    m_lastError = {};
    if (bytesRead != nullptr) {
        *bytesRead = 0;
    }
    if (buffer == nullptr || bytesRead == nullptr || length < 2) {
        Fail(EINVAL, "reading an input report from " + m_path +
                         ": needs a buffer of at least 2 bytes and a place for the count");
        return HidReadStatus::Failed;
    }

    // A hidraw node whose device went away reports an error or hang-up to
    // poll() at once, while read() may still hand over what was queued.
    pollfd watch{m_fd.Get(), POLLIN, 0};
    const int ready = ::poll(&watch, 1, 0);
    if (ready < 0) {
        const int code = errno;
        if (code == EINTR) {
            return HidReadStatus::Pending;
        }
        FailErrno(code, "poll");
        return HidReadStatus::Failed;
    }
    if (ready > 0 && (watch.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        const char* what = (watch.revents & POLLNVAL) != 0  ? "an invalid descriptor"
                           : (watch.revents & POLLHUP) != 0 ? "a hang-up"
                                                            : "an error";
        Fail(ENODEV, m_path + " is gone: poll reported " + what);
        return HidReadStatus::Failed;
    }

    // hidraw hands over a numbered report with its id byte and an unnumbered
    // one without; the caller always wants the id in byte 0.
    const bool numbered = UsesReportIds();
    uint8_t* const target = numbered ? buffer : buffer + 1;
    const size_t room = numbered ? length : length - 1;
    const ssize_t received = ::read(m_fd.Get(), target, room);
    if (received < 0) {
        const int code = errno;
        if (code == EAGAIN || code == EWOULDBLOCK || code == EINTR) {
            return HidReadStatus::Pending;
        }
        Fail(code, "reading an input report from " + m_path + " failed: " + ErrnoText(code));
        return HidReadStatus::Failed;
    }
    if (received == 0) {
        Fail(ENODEV, "reading an input report from " + m_path + " found the end of the file: the device is gone");
        return HidReadStatus::Failed;
    }
    if (static_cast<size_t>(received) > room) {
        Fail(EIO, "reading an input report from " + m_path + " returned " + std::to_string(received) +
                      " bytes for a buffer of " + std::to_string(room));
        return HidReadStatus::Failed;
    }

    size_t total = static_cast<size_t>(received);
    if (!numbered) {
        buffer[0] = 0;
        ++total;
    }
    std::memset(buffer + total, 0, length - total);
    *bytesRead = total;
    return HidReadStatus::Complete;
}

}  // namespace

void HidrawHost::Fail(int code, std::string message)
{
    m_lastError = ErrnoHidError(code, std::move(message));
}

bool HidrawHost::ListInterfaces(std::vector<HidInterfaceInfo>& interfaces)
{
    m_lastError = {};
    interfaces.clear();

    const UniqueDir dir(::opendir(kHidrawClassDir));
    if (!dir) {
        const int code = errno;
        if (code == ENOENT) {
            // No hidraw device has ever appeared, or the module is not
            // loaded: nothing is present, which is not a failure.
            return true;
        }
        Fail(code, std::string("listing HID devices: opening ") + kHidrawClassDir + " failed: " + ErrnoText(code));
        return false;
    }

    std::vector<std::pair<unsigned long, std::string>> nodes;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) {
            if (errno != 0) {
                const int code = errno;
                Fail(code,
                     std::string("listing HID devices: reading ") + kHidrawClassDir + " failed: " + ErrnoText(code));
                return false;
            }
            break;
        }
        unsigned long number = 0;
        if (ParseHidrawName(entry->d_name, number)) {
            nodes.emplace_back(number, entry->d_name);
        }
    }
    // By number, so that hidraw2 comes before hidraw10 and the order does
    // not depend on the directory's.
    std::sort(nodes.begin(), nodes.end());

    interfaces.reserve(nodes.size());
    for (const auto& [number, name] : nodes) {
        HidInterfaceInfo info;
        info.path = "/dev/" + name;
        // The class entry's "device" link leads to the HID device, whose
        // uevent names bus, vendor, product and the device. A device whose uevent cannot
        // be read or understood is still listed, its ids unknown: opening it
        // can still tell them.
        std::string uevent;
        if (ReadSmallFile(std::string(kHidrawClassDir) + "/" + name + "/device/uevent", uevent)) {
            info.idsKnown = ParseHidId(uevent, info.vendorId, info.productId);
            info.name = ParseHidName(uevent);
        }
        interfaces.push_back(std::move(info));
    }
    return true;
}

std::unique_ptr<HidDevice> HidrawHost::Open(const std::string& path, HidAccess access)
{
    m_lastError = {};
    const bool readWrite = access == HidAccess::ReadWrite;
    const int flags = (readWrite ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC;
    UniqueFd fd(OpenRetrying(path.c_str(), flags));
    if (!fd.Valid()) {
        const int code = errno;
        Fail(code, "opening " + path + (readWrite ? " for reading and writing" : " read-only") +
                       " failed: " + ErrnoText(code));
        return nullptr;
    }
    return std::make_unique<HidrawDevice>(std::move(fd), path);
}

}  // namespace corvalt
