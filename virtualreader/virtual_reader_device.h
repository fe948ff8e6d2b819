// An open handle on the virtual reader, as the HID host hands it out. It
// dies, as a real handle does, when the reader leaves the device list
// (unplugged or reset); the program then finds the reader again.
#pragma once

#include <cstdint>

#include "platform/hid_host.h"
#include "virtualreader/virtual_reader.h"

namespace corvalt {

class VirtualReaderDevice final : public HidDevice {
public:
    VirtualReaderDevice(VirtualReader& reader, std::string path);

    bool GetAttributes(HidAttributes& attributes) override;
    bool GetReportDescriptor(std::vector<uint8_t>& descriptor) override;
    bool SetFeature(const uint8_t* report, size_t length) override;
    bool GetFeature(uint8_t* report, size_t length) override;
    HidReadStatus ReadInput(uint8_t* buffer, size_t length, size_t* bytesRead) override;
    const HidError& LastError() const override { return m_error; }

private:
    bool Attached();  // clears the error, or records that the reader has gone

    VirtualReader& m_reader;
    std::string m_path;
    uint64_t m_attachment;
    HidError m_error;
};

}  // namespace corvalt
