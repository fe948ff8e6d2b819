// A HID host with simulated devices, for tests that must not touch the
// system: each device has a path, ids, a descriptor, programmable feature
// answers and input reports, and can fail any call or be unplugged. A
// device can also be a virtual reader, which then answers for it. The host
// keeps a log of the calls made, in order.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/hid_host.h"
#include "virtualreader/virtual_reader.h"

namespace corvalt::testing {

// Shared by the host and every handle opened on it, so a test can change a
// device (queue a report, unplug it) while the program holds it open.
struct SimulatedDevice {
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    bool idsListed = true;  // the list tells the ids without opening the device
    std::string name;       // the name the list tells
    std::vector<uint8_t> descriptor;

    // Failures. An open error is an errno value; 0 lets the open succeed.
    int readWriteOpenError = 0;
    int queryOpenError = 0;
    bool failAttributes = false;
    bool failDescriptor = false;
    int setFeatureFailures = 0;  // this many coming SetFeature calls fail
    int getFeatureFailures = 0;  // likewise GetFeature
    int readError = 0;           // reads fail with this errno while nonzero
    bool unplugged = false;      // every call on an open handle fails with ENODEV

    // The answer to a GetFeature, given the last report sent (id byte first).
    // Without it the answer is all zeros.
    std::function<std::vector<uint8_t>(const std::vector<uint8_t>& lastRequest)> answerFeature;
    // Input reports as the host hands them over: id byte first.
    std::deque<std::vector<uint8_t>> inputReports;

    std::vector<std::vector<uint8_t>> featuresSent;
    int openHandles = 0;

    // When set, the device is this reader: it is listed while the reader is,
    // with the reader's ids and descriptor, and the reader answers commands
    // and hands over swipes. The failures above still apply, and a set
    // answerFeature or queued inputReports come first.
    std::shared_ptr<VirtualReader> reader;
};

class FakeHidHost final : public HidHost {
public:
    // Listed in the order added.
    std::shared_ptr<SimulatedDevice> AddDevice(const std::string& path, uint16_t vendorId, uint16_t productId,
                                               std::vector<uint8_t> descriptor);
    // A virtual reader at the path, listed in the order added.
    std::shared_ptr<SimulatedDevice> AddReader(const std::string& path, std::shared_ptr<VirtualReader> reader);
    // Takes the device off the list; open handles on it start failing.
    void Unplug(const std::string& path);

    bool ListInterfaces(std::vector<HidInterfaceInfo>& interfaces) override;
    std::unique_ptr<HidDevice> Open(const std::string& path, HidAccess access) override;
    const HidError& LastError() const override { return m_lastError; }

    bool failList = false;

    // "list", "open <path> rw|query", "open-failed <path> ...", "attributes",
    // "descriptor", "set-feature", "get-feature", "read", "close <path>".
    std::vector<std::string> log;
    size_t CountInLog(const std::string& prefix) const;
    int OpenHandleCount() const;  // over every device ever added

private:
    std::vector<std::shared_ptr<SimulatedDevice>> m_devices;    // listed now
    std::vector<std::shared_ptr<SimulatedDevice>> m_everAdded;  // unplugged ones too
    HidError m_lastError;
};

}  // namespace corvalt::testing
