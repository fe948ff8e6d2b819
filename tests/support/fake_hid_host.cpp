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
        : device_(std::move(device)), log_(log)
    {
        ++device_->openHandles;
        if (device_->reader)
            reader_ = std::make_unique<VirtualReaderDevice>(*device_->reader, device_->path);
    }
    ~FakeDevice() override
    {
        --device_->openHandles;
        log_.push_back("close " + device_->path);
    }

    bool GetAttributes(HidAttributes& attributes) override
    {
        log_.push_back("attributes");
        if (!Usable() || device_->failAttributes)
            return Fail(EIO);
        if (reader_)
            return FromReader(reader_->GetAttributes(attributes));
        attributes = {device_->vendorId, device_->productId, 0};
        return true;
    }

    bool GetReportDescriptor(std::vector<uint8_t>& descriptor) override
    {
        log_.push_back("descriptor");
        if (!Usable() || device_->failDescriptor)
            return Fail(EIO);
        if (reader_)
            return FromReader(reader_->GetReportDescriptor(descriptor));
        descriptor = device_->descriptor;
        return true;
    }

    bool SetFeature(const uint8_t* report, size_t length) override
    {
        log_.push_back("set-feature");
        if (!Usable() || report == nullptr || length < 2)
            return Fail(EIO);
        if (device_->setFeatureFailures > 0) {
            --device_->setFeatureFailures;
            return Fail(EPIPE);
        }
        device_->featuresSent.emplace_back(report, report + length);
        if (reader_)
            return FromReader(reader_->SetFeature(report, length));
        return true;
    }

    bool GetFeature(uint8_t* report, size_t length) override
    {
        log_.push_back("get-feature");
        if (!Usable() || report == nullptr || length < 2)
            return Fail(EIO);
        if (device_->getFeatureFailures > 0) {
            --device_->getFeatureFailures;
            return Fail(EPIPE);
        }
        if (reader_ && !device_->answerFeature)
            return FromReader(reader_->GetFeature(report, length));
        std::vector<uint8_t> answer;
        if (device_->answerFeature) {
            static const std::vector<uint8_t> kNone;
            answer = device_->answerFeature(device_->featuresSent.empty() ? kNone : device_->featuresSent.back());
        }
        std::memset(report, 0, length);
        if (!answer.empty())
            std::memcpy(report, answer.data(), std::min(answer.size(), length));
        return true;
    }

    HidReadStatus ReadInput(uint8_t* buffer, size_t length, size_t* bytesRead) override
    {
        log_.push_back("read");
        if (!Usable() || device_->readError != 0 || buffer == nullptr || length < 2) {
            Fail(device_->readError != 0 ? device_->readError : ENODEV);
            return HidReadStatus::Failed;
        }
        if (device_->inputReports.empty() && reader_) {
            const HidReadStatus status = reader_->ReadInput(buffer, length, bytesRead);
            error_ = reader_->LastError();
            return status;
        }
        if (device_->inputReports.empty()) {
            error_ = {EAGAIN, "no report yet"};
            return HidReadStatus::Pending;
        }
        const std::vector<uint8_t> report = std::move(device_->inputReports.front());
        device_->inputReports.pop_front();
        const size_t count = std::min(report.size(), length);
        std::memset(buffer, 0, length);
        std::memcpy(buffer, report.data(), count);
        if (bytesRead != nullptr)
            *bytesRead = count;
        error_ = {};
        return HidReadStatus::Complete;
    }

    const HidError& LastError() const override { return error_; }

private:
    bool Usable()
    {
        error_ = {};
        return !device_->unplugged;
    }
    bool FromReader(bool ok)
    {
        error_ = reader_->LastError();
        return ok;
    }
    bool Fail(int code)
    {
        if (device_->unplugged)
            code = ENODEV;  // as the kernel answers every call on a node whose device has gone
        error_ = {code, device_->path + ": " + std::strerror(code)};
        return false;
    }

    std::shared_ptr<SimulatedDevice> device_;
    std::vector<std::string>& log_;
    std::unique_ptr<VirtualReaderDevice> reader_;  // when the device is a virtual reader
    HidError error_;
};

bool IsListed(const SimulatedDevice& device)
{
    return !device.reader || device.reader->IsListed();
}

}  // namespace

std::shared_ptr<SimulatedDevice> FakeHidHost::AddDevice(const std::string& path, uint16_t vendorId,
                                                        uint16_t productId, std::vector<uint8_t> descriptor)
{
    auto device = std::make_shared<SimulatedDevice>();
    device->path = path;
    device->vendorId = vendorId;
    device->productId = productId;
    device->descriptor = std::move(descriptor);
    devices_.push_back(device);
    everAdded_.push_back(device);
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
    auto it = std::ranges::find(devices_, path, &SimulatedDevice::path);
    if (it == devices_.end())
        return;
    (*it)->unplugged = true;
    devices_.erase(it);
}

bool FakeHidHost::ListInterfaces(std::vector<HidInterfaceInfo>& interfaces)
{
    log.push_back("list");
    lastError_ = {};
    if (failList) {
        lastError_ = {EIO, "listing failed"};
        return false;
    }
    interfaces.clear();
    for (const auto& device : devices_) {
        if (!IsListed(*device))
            continue;
        HidInterfaceInfo info;
        info.path = device->path;
        info.idsKnown = device->idsListed;
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
    lastError_ = {};
    auto it = std::ranges::find(devices_, path, &SimulatedDevice::path);
    int error = ENOENT;
    if (it != devices_.end() && IsListed(**it))
        error = access == HidAccess::ReadWrite ? (*it)->readWriteOpenError : (*it)->queryOpenError;
    if (error != 0) {
        log.push_back("open-failed " + path + " " + mode);
        lastError_ = {error, "open " + path + ": " + std::strerror(error)};
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
    for (const auto& device : everAdded_)
        count += device->openHandles;
    return count;
}

}  // namespace corvalt::testing
