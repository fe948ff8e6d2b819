#include "tests/support/fake_hid_host.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "virtualreader/virtual_reader_device.h"

namespace corvalt::testing {

namespace {

class FakeDevice final : public HidDevice {
public:
    FakeDevice(std::shared_ptr<SimulatedDevice> device, std::vector<std::string>& log)
        : m_device(std::move(device)), m_log(log)
    {
        ++m_device->openHandles;
        if (m_device->reader)
            m_reader = std::make_unique<VirtualReaderDevice>(*m_device->reader, m_device->path);
    }
    ~FakeDevice() override
    {
        --m_device->openHandles;
        m_log.push_back("close " + m_device->path);
    }

    bool GetAttributes(HidAttributes& attributes) override
    {
        m_log.push_back("attributes");
        if (!Usable() || m_device->failAttributes)
            return Fail(EIO);
        if (m_reader)
            return FromReader(m_reader->GetAttributes(attributes));
        attributes = {m_device->vendorId, m_device->productId, 0};
        return true;
    }

    bool GetReportDescriptor(std::vector<uint8_t>& descriptor) override
    {
        m_log.push_back("descriptor");
        if (!Usable() || m_device->failDescriptor)
            return Fail(EIO);
        if (m_reader)
            return FromReader(m_reader->GetReportDescriptor(descriptor));
        descriptor = m_device->descriptor;
        return true;
    }

    bool SetFeature(const uint8_t* report, size_t length) override
    {
        m_log.push_back("set-feature");
        if (!Usable() || report == nullptr || length < 2)
            return Fail(EIO);
        if (m_device->setFeatureFailures > 0) {
            --m_device->setFeatureFailures;
            return Fail(EPIPE);
        }
        m_device->featuresSent.emplace_back(report, report + length);
        if (m_reader)
            return FromReader(m_reader->SetFeature(report, length));
        return true;
    }

    bool GetFeature(uint8_t* report, size_t length) override
    {
        m_log.push_back("get-feature");
        if (!Usable() || report == nullptr || length < 2)
            return Fail(EIO);
        if (m_device->getFeatureFailures > 0) {
            --m_device->getFeatureFailures;
            return Fail(EPIPE);
        }
        if (m_reader && !m_device->answerFeature)
            return FromReader(m_reader->GetFeature(report, length));
        std::vector<uint8_t> answer;
        if (m_device->answerFeature) {
            static const std::vector<uint8_t> kNone;
            answer = m_device->answerFeature(m_device->featuresSent.empty() ? kNone : m_device->featuresSent.back());
        }
        std::memset(report, 0, length);
        if (!answer.empty())
            std::memcpy(report, answer.data(), std::min(answer.size(), length));
        return true;
    }

    HidReadStatus ReadInput(uint8_t* buffer, size_t length, size_t* bytesRead) override
    {
        m_log.push_back("read");
        if (!Usable() || m_device->readError != 0 || buffer == nullptr || length < 2) {
            Fail(m_device->readError != 0 ? m_device->readError : ENODEV);
            return HidReadStatus::Failed;
        }
        if (m_device->inputReports.empty() && m_reader) {
            const HidReadStatus status = m_reader->ReadInput(buffer, length, bytesRead);
            m_error = m_reader->LastError();
            return status;
        }
        if (m_device->inputReports.empty()) {
            m_error = ErrnoHidError(EAGAIN, "no report yet");
            return HidReadStatus::Pending;
        }
        const std::vector<uint8_t> report = std::move(m_device->inputReports.front());
        m_device->inputReports.pop_front();
        const size_t count = std::min(report.size(), length);
        std::memset(buffer, 0, length);
        std::memcpy(buffer, report.data(), count);
        if (bytesRead != nullptr)
            *bytesRead = count;
        m_error = {};
        return HidReadStatus::Complete;
    }

    const HidError& LastError() const override { return m_error; }

private:
    bool Usable()
    {
        m_error = {};
        return !m_device->unplugged;
    }
    bool FromReader(bool ok)
    {
        m_error = m_reader->LastError();
        return ok;
    }
    bool Fail(int code)
    {
        if (m_device->unplugged)
            code = ENODEV;  // as the kernel answers every call on a node whose device has gone
        m_error = ErrnoHidError(code, m_device->path + ": " + std::strerror(code));
        return false;
    }

    std::shared_ptr<SimulatedDevice> m_device;
    std::vector<std::string>& m_log;
    std::unique_ptr<VirtualReaderDevice> m_reader;  // when the device is a virtual reader
    HidError m_error;
};

bool IsListed(const SimulatedDevice& device)
{
    return !device.reader || device.reader->IsListed();
}

}  // namespace

std::shared_ptr<SimulatedDevice> FakeHidHost::AddDevice(const std::string& path, uint16_t vendorId, uint16_t productId,
                                                        std::vector<uint8_t> descriptor)
{
    auto device = std::make_shared<SimulatedDevice>();
    device->path = path;
    device->vendorId = vendorId;
    device->productId = productId;
    device->descriptor = std::move(descriptor);
    m_devices.push_back(device);
    m_everAdded.push_back(device);
    return device;
}

std::shared_ptr<SimulatedDevice> FakeHidHost::AddReader(const std::string& path, std::shared_ptr<VirtualReader> reader)
{
    auto device = AddDevice(path, reader->VendorId(), reader->ProductId(), {});
    device->reader = std::move(reader);
    return device;
}

void FakeHidHost::Unplug(const std::string& path)
{
    auto it = std::ranges::find(m_devices, path, &SimulatedDevice::path);
    if (it == m_devices.end())
        return;
    (*it)->unplugged = true;
    m_devices.erase(it);
}

bool FakeHidHost::ListInterfaces(std::vector<HidInterfaceInfo>& interfaces)
{
    log.push_back("list");
    m_lastError = {};
    if (failList) {
        m_lastError = ErrnoHidError(EIO, "listing failed");
        return false;
    }
    interfaces.clear();
    for (const auto& device : m_devices) {
        if (!IsListed(*device))
            continue;
        HidInterfaceInfo info;
        info.path = device->path;
        info.idsKnown = device->idsListed;
        info.name = device->name;
        if (device->idsListed) {
            info.vendorId = device->reader ? device->reader->VendorId() : device->vendorId;
            info.productId = device->reader ? device->reader->ProductId() : device->productId;
        }
        interfaces.push_back(info);
    }
    return true;
}

std::unique_ptr<HidDevice> FakeHidHost::Open(const std::string& path, HidAccess access)
{
    const std::string mode = access == HidAccess::ReadWrite ? "rw" : "query";
    m_lastError = {};
    auto it = std::ranges::find(m_devices, path, &SimulatedDevice::path);
    int error = ENOENT;
    if (it != m_devices.end() && IsListed(**it))
        error = access == HidAccess::ReadWrite ? (*it)->readWriteOpenError : (*it)->queryOpenError;
    if (error != 0) {
        log.push_back("open-failed " + path + " " + mode);
        m_lastError = ErrnoHidError(error, "open " + path + ": " + std::strerror(error));
        return nullptr;
    }
    log.push_back("open " + path + " " + mode);
    return std::make_unique<FakeDevice>(*it, log);
}

size_t FakeHidHost::CountInLog(const std::string& prefix) const
{
    return static_cast<size_t>(
        std::ranges::count_if(log, [&](const std::string& entry) { return entry.starts_with(prefix); }));
}

int FakeHidHost::OpenHandleCount() const
{
    int count = 0;
    for (const auto& device : m_everAdded)
        count += device->openHandles;
    return count;
}

}  // namespace corvalt::testing
