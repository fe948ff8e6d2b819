#include "virtualreader/virtual_reader_device.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace corvalt {

VirtualReaderDevice::VirtualReaderDevice(VirtualReader& reader, std::string path)
    : reader_(reader), path_(std::move(path)), attachment_(reader.Attachment())
{
}

bool VirtualReaderDevice::Attached()
{
    error_ = {};
    if (reader_.IsListed() && reader_.Attachment() == attachment_)
        return true;
    error_ = {ENODEV, path_ + ": " + std::strerror(ENODEV)};
    return false;
}

bool VirtualReaderDevice::GetAttributes(HidAttributes& attributes)
{
    if (!Attached())
        return false;
    attributes = {reader_.VendorId(), reader_.ProductId(), 0};
    return true;
}

bool VirtualReaderDevice::GetReportDescriptor(std::vector<uint8_t>& descriptor)
{
    if (!Attached())
        return false;
    descriptor = reader_.Descriptor();
    return true;
}

bool VirtualReaderDevice::SetFeature(const uint8_t* report, size_t length)
{
    if (!Attached())
        return false;
    if (report == nullptr || length < 2) {
        error_ = {EINVAL, path_ + ": " + std::strerror(EINVAL)};
        return false;
    }
    reader_.ReceiveFeature({report, length});
    return true;
}

bool VirtualReaderDevice::GetFeature(uint8_t* report, size_t length)
{
    if (!Attached())
        return false;
    if (report == nullptr || length < 2) {
        error_ = {EINVAL, path_ + ": " + std::strerror(EINVAL)};
        return false;
    }
    const std::vector<uint8_t> answer = reader_.FeatureAnswer();
    std::memset(report, 0, length);
    if (!answer.empty())
        std::memcpy(report, answer.data(), std::min(answer.size(), length));
    return true;
}

HidReadStatus VirtualReaderDevice::ReadInput(uint8_t* buffer, size_t length, size_t* bytesRead)
{
    if (!Attached())
        return HidReadStatus::Failed;
    if (buffer == nullptr || length < 2) {
        error_ = {EINVAL, path_ + ": " + std::strerror(EINVAL)};
        return HidReadStatus::Failed;
    }
    const std::optional<std::vector<uint8_t>> report = reader_.TakeInputReport();
    if (!report) {
        error_ = {EAGAIN, "no report yet"};
        return HidReadStatus::Pending;
    }
    const size_t count = std::min(report->size(), length);
    std::memset(buffer, 0, length);
    std::memcpy(buffer, report->data(), count);
    if (bytesRead != nullptr)
        *bytesRead = count;
    return HidReadStatus::Complete;
}

}  // namespace corvalt
