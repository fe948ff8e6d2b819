// A reader for decoding without a device, shared by the card-decoding fuzzer
// and the benchmarks: a reader-like report descriptor, laid out as the
// virtual reader lays out its own, with the card-data fields of every
// reader model in one input report, and a connection that holds it parsed
// while its host lists nothing and its clock never waits.
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
#include "reader/reader_models.h"
#include "virtualreader/input_report_layout.h"

namespace corvalt {

// Every card-data field any model has, in one input report: three 110-byte
// tracks, the card status and the seal fields (a 64-byte Stripeseal, a
// 16-byte serial number); and a 63-byte feature report for commands. No
// report ids.
inline std::vector<uint8_t> ReaderDescriptor()
{
    constexpr ReaderModel kEveryField{.productId = 0,
                                      .mode = ReaderMode::kHid,
                                      .reportsCardStatus = true,
                                      .reportsSealFields = true,
                                      .virtualReaderCanBe = false};
    return InputReportLayout(ReaderCardFields(kEveryField, 110, 64, 16), 63).Descriptor();
}

// The reader connection set up by hand from ReaderDescriptor(); decoding never
// reaches its host or its clock.
class DetachedReader {
public:
    DetachedReader()
    {
        const std::vector<uint8_t> descriptor = ReaderDescriptor();
        connection.pPreparsedData.reset(HidP_ParseReportDescriptor(descriptor.data(), descriptor.size()));
        parsed = connection.pPreparsedData != nullptr &&
                 HidP_GetCaps(connection.pPreparsedData.get(), &connection.Caps) == HIDP_STATUS_SUCCESS;
    }

private:
    class NoHost final : public HidHost {
    public:
        bool ListInterfaces(std::vector<HidInterfaceInfo>&) override { return false; }
        std::unique_ptr<HidDevice> Open(const std::string&, HidAccess) override { return nullptr; }
        const HidError& LastError() const override { return m_error; }

    private:
        HidError m_error;
    };

    class NoClock final : public Clock {
    public:
        uint64_t NowMs() const override { return 0; }
        void Sleep(uint32_t) override {}
    };

    NoHost m_host;
    NoClock m_clock;

public:
    ReaderConnection connection{m_host, m_clock};
    bool parsed = false;  // the descriptor parsed and its caps were read
};

}  // namespace corvalt
