// The HID host: everything the reader transport asks of the operating system.
//
// One abstract interface so that the reader code runs unchanged on Linux
// hidraw (hidraw_host.cpp), on Windows (windows_hid_host.cpp) and on the
// simulated readers of the tests.
// Every call clears the object's last error and, when it fails, records a
// precise message (with the system's reason) that LastError() returns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/hid_error.h"

struct HIDP_PREPARSED_DATA;

namespace corvalt {

// One present HID device interface as the host lists it.
struct HidInterfaceInfo {
    std::string path;       // the node to open, e.g. "/dev/hidraw3"
    bool idsKnown = false;  // the ids below could be read without opening the device
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string name;  // the name the system knows the device by; empty when it tells none
};

// The identity of an open device.
struct HidAttributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;  // 0 when the system does not tell it
};

enum class HidAccess {
    ReadWrite,  // reports can be exchanged
    QueryOnly,  // attributes and descriptor only; report calls may fail
};

enum class HidReadStatus {
    Complete,  // a whole report is in the buffer
    Pending,   // no report yet; try again later
    Failed,    // the device is gone or broken; the caller closes it
};

// An open device. Destroying it closes it.
class HidDevice {
public:
    virtual ~HidDevice() = default;

    virtual bool GetAttributes(HidAttributes& attributes) = 0;

    // The raw report descriptor, as the device declares it. One longer than
    // the system can hand over fails with EMSGSIZE, and LastError().message
    // then says how long it is and how long it may be.
    virtual bool GetReportDescriptor(std::vector<uint8_t>& descriptor) = 0;

    // The descriptor parsed, to query with hidp.h; nullptr on failure. Our
    // parser reads GetReportDescriptor's bytes; when it refuses them, or
    // they are too long to be read, *whyRefused (when given) says why, and
    // a descriptor that cannot be read for another reason leaves it alone. A system that hands out no descriptor, only
    // its own parse of it (Windows), answers with that parse instead.
    virtual HIDP_PREPARSED_DATA* ParseReportDescriptor(std::string* whyRefused);

    // Feature reports: report[0] is the report id (0 when the device numbers
    // none) and length counts it; length is at least 2.
    virtual bool SetFeature(const uint8_t* report, size_t length) = 0;
    // On success the whole of report[0..length) holds the answer; bytes the
    // device did not send are zero.
    virtual bool GetFeature(uint8_t* report, size_t length) = 0;

    // A read that never blocks. On Complete the buffer holds the report with
    // buffer[0] = report id (0 when the device numbers none) and zeros after
    // the bytes the device sent, up to length; *bytesRead is the count
    // including the id byte.
    virtual HidReadStatus ReadInput(uint8_t* buffer, size_t length, size_t* bytesRead) = 0;

    virtual const HidError& LastError() const = 0;
};

class HidHost {
public:
    virtual ~HidHost() = default;

    // The present HID interfaces in a stable order. False when the list
    // cannot be obtained at all (no list is not the same as an empty one).
    virtual bool ListInterfaces(std::vector<HidInterfaceInfo>& interfaces) = 0;

    // nullptr on failure; LastError().kind tells why (access denied, not found, ...).
    virtual std::unique_ptr<HidDevice> Open(const std::string& path, HidAccess access) = 0;

    virtual const HidError& LastError() const = 0;
};

}  // namespace corvalt
