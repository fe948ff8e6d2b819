// A reader for decoding without a device, shared by the card-decoding fuzzer
// and the benchmarks: a fixed reader-like report descriptor with the
// card-data fields of every reader model in one input report, and a
// connection that holds it parsed while its host lists nothing and its
// clock never waits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/hid_host.h"
#include "platform/hidp.h"
#include "reader/reader_connection.h"

namespace corvalt {

// Every card-data field any model has, on the vendor page 0xFF00: 8-bit
// decode statuses and lengths, three 110-byte tracks, the encode type and
// card status, 32-bit Stripeseal status and length, a 64-byte Stripeseal, a
// 16-byte serial number, a 32-bit sequence counter; and a 63-byte feature
// report for commands. No report ids.
constexpr uint8_t kReaderDescriptor[] = {
    0x06, 0x00, 0xFF,  // Usage Page (vendor 0xFF00)
    0x09, 0x01,        // Usage (0x01)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x01,        //   Report Count (1)
    0x09, 0x20, 0x81, 0x02,  // Usage (track 1 decode status), Input (Data,Var,Abs)
    0x09, 0x21, 0x81, 0x02,  // track 2 decode status
    0x09, 0x22, 0x81, 0x02,  // track 3 decode status
    0x09, 0x28, 0x81, 0x02,  // track 1 length
    0x09, 0x29, 0x81, 0x02,  // track 2 length
    0x09, 0x2A, 0x81, 0x02,  // track 3 length
    0x95, 0x6E,              //   Report Count (110)
    0x09, 0x30, 0x81, 0x02,  // track 1 data
    0x09, 0x31, 0x81, 0x02,  // track 2 data
    0x09, 0x32, 0x81, 0x02,  // track 3 data
    0x95, 0x01,              //   Report Count (1)
    0x09, 0x38, 0x81, 0x02,  // encode type
    0x09, 0x39, 0x81, 0x02,  // card status
    0x75, 0x20,                          //   Report Size (32)
    0x27, 0xFF, 0xFF, 0xFF, 0x7F,        //   Logical Maximum (0x7FFFFFFF)
    0x09, 0x23, 0x81, 0x02,  // Stripeseal status
    0x09, 0x2B, 0x81, 0x02,  // Stripeseal length
    0x75, 0x08,              //   Report Size (8)
    0x26, 0xFF, 0x00,        //   Logical Maximum (255)
    0x95, 0x40,              //   Report Count (64)
    0x09, 0x33, 0x81, 0x02,  // Stripeseal data
    0x95, 0x10,              //   Report Count (16)
    0x09, 0x40, 0x81, 0x02,  // serial number
    0x75, 0x20,                          //   Report Size (32)
    0x27, 0xFF, 0xFF, 0xFF, 0x7F,        //   Logical Maximum (0x7FFFFFFF)
    0x95, 0x01,              //   Report Count (1)
    0x09, 0x41, 0x81, 0x02,  // sequence counter
    0x75, 0x08,              //   Report Size (8)
    0x26, 0xFF, 0x00,        //   Logical Maximum (255)
    0x95, 0x3F,              //   Report Count (63)
    0x09, 0x20, 0xB1, 0x02,  // command data, Feature (Data,Var,Abs)
    0xC0,                    // End Collection
};

// Its input report, id byte included.
constexpr size_t kReaderReportLength = 1 + 6 + 3 * 110 + 2 + 2 * 4 + 64 + 16 + 4;

// The reader connection set up by hand from kReaderDescriptor; decoding never
// reaches its host or its clock.
class DetachedReader {
public:
    DetachedReader()
    {
        connection.pPreparsedData = HidP_ParseReportDescriptor(kReaderDescriptor, sizeof kReaderDescriptor);
        parsed = connection.pPreparsedData != nullptr &&
                 HidP_GetCaps(connection.pPreparsedData, &connection.Caps) == HIDP_STATUS_SUCCESS;
    }

private:
    class NoHost final : public HidHost {
    public:
        bool ListInterfaces(std::vector<HidInterfaceInfo>&) override { return false; }
        std::unique_ptr<HidDevice> Open(const std::string&, HidAccess) override { return nullptr; }
        const HidError& LastError() const override { return error_; }

    private:
        HidError error_;
    };

    class NoClock final : public Clock {
    public:
        uint64_t NowMs() const override { return 0; }
        void Sleep(uint32_t) override {}
    };

    NoHost host_;
    NoClock clock_;

public:
    ReaderConnection connection{host_, clock_};
    bool parsed = false;  // the descriptor parsed and its caps were read
};

}  // namespace corvalt
