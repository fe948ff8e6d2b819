// Long use of the real HidrawHost: hundreds of discoveries, reads and closes
// of a reader beside a device that is not one, against umockdev's emulated
// nodes. Every descriptor opened must be closed again.
#include <gtest/gtest.h>

#include <cerrno>

#include "reader/input_report.h"
#include "reader/reader_connection.h"
#include "tests/platform/mock_hidraw.h"
#include "tests/support/fake_clock.h"

namespace corvalt {
namespace {

using testing::Bytes;
using testing::MockNode;
using testing::OpenFds;
using testing::Set;
using testing::SettledFds;

class HidrawSoakTest : public testing::MockHidrawTest {};

TEST_F(HidrawSoakTest, HundredsOfOpenReadCloseCyclesLeakNoDescriptor)
{
    Add(0, "HID_ID=0003:0000046D:0000C31C");  // a keyboard, passed over by its ids
    MockNode& node = Add(1);
    testing::FakeClock clock;
    ReaderConnection reader{m_host, clock};
    const auto before = OpenFds();

    for (int cycle = 0; cycle < 300; ++cycle) {
        SCOPED_TRACE(cycle);
        OpenReader(reader);
        ASSERT_TRUE(reader.IsOpen()) << m_host.LastError().message;
        // A swipe, then a read left pending; every tenth cycle the read
        // fails instead and closes the reader itself.
        const bool failing = cycle % 10 == 9;
        Set(node, [&](MockNode& n) {
            n.reads.emplace_back(0, Bytes{1, 2, 3, 4, 5, 6, 7});
            if (failing)
                n.reads.emplace_back(-EIO, Bytes{});
        });
        ASSERT_TRUE(PollInputReport(reader));
        EXPECT_FALSE(PollInputReport(reader));
        EXPECT_EQ(reader.IsOpen(), !failing);
        CloseReader(reader);
    }
    EXPECT_EQ(SettledFds(before), before);
}

}  // namespace
}  // namespace corvalt

int main(int argc, char** argv)
{
    return corvalt::testing::RunUnderUmockdev(argc, argv);
}
