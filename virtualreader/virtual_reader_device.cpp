#include "virtualreader/virtual_reader_device.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace corvalt {

VirtualReaderDevice::VirtualReaderDevice(VirtualReader& reader, std::string path)
    : m_reader(reader), m_path(std::move(path)), m_attachment(reader.Attachment())
{
}

bool VirtualReaderDevice::Attached()
{
    m_error = {};
    if (m_reader.IsListed() && m_reader.Attachment() == m_attachment)
        return true;
    m_error = ErrnoHidError(ENODEV, m_path + ": " + std::strerror(ENODEV));
    return false;
}

bool VirtualReaderDevice::GetAttributes(HidAttributes& attributes)
{
    if (!Attached())
        return false;
    attributes = {m_reader.VendorId(), m_reader.ProductId(), 0};
    return true;
}

bool VirtualReaderDevice::GetReportDescriptor(std::vector<uint8_t>& descriptor)
{
    if (!Attached())
        return false;
    descriptor = m_reader.Descriptor();
    return true;
}

bool VirtualReaderDevice::SetFeature(const uint8_t* report, size_t length)
{
    if (!Attached())
        return false;
    if (report == nullptr || length < 2) {
        m_error = ErrnoHidError(EINVAL, m_path + ": " + std::strerror(EINVAL));
        return false;
    }
    m_reader.ReceiveFeature({report, length});
    return true;
}

bool VirtualReaderDevice::GetFeature(uint8_t* report, size_t length)
{
    if (!Attached())
        return false;
    if (report == nullptr || length < 2) {
        m_error = ErrnoHidError(EINVAL, m_path + ": " + std::strerror(EINVAL));
        return false;
    }
    const std::vector<uint8_t> answer = m_reader.FeatureAnswer();
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
        m_error = ErrnoHidError(EINVAL, m_path + ": " + std::strerror(EINVAL));
        return HidReadStatus::Failed;
    }
    const std::optional<std::vector<uint8_t>> report = m_reader.TakeInputReport();
    if (!report) {
        m_error = ErrnoHidError(EAGAIN, "no report yet");
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
