// The hidraw host end to end: the real HidrawHost against hidraw nodes that
// umockdev emulates (sysfs entries plus an ioctl/read handler per node).
// Runs only under libumockdev-preload; elsewhere it exits 77 (CTest SKIP).
#include <fcntl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "tests/platform/mock_hidraw.h"

namespace corvalt {
namespace {

using testing::Bytes;
using testing::Get;
using testing::kNumbered;
using testing::kUnnumbered;
using testing::MockNode;
using testing::OpenFds;
using testing::Set;
using testing::SettledFds;

class HidrawHostTest : public testing::MockHidrawTest {};

TEST_F(HidrawHostTest, ListsByNodeNumberWithIdsFromUevent)
{
    std::vector<HidInterfaceInfo> list{{"stale", true, 1, 1}};
    ASSERT_TRUE(m_host.ListInterfaces(list));
    EXPECT_TRUE(list.empty()) << "no /sys/class/hidraw is an empty list";

    Add(10, "HID_ID=0005:0000ABCD:0000F00D");
    Add(2);
    Add(1, "HID_ID=0003:0801");                      // too few fields
    Add(3, "HID_ID=0003:0000080G:00000002");         // not hex
    Add(4, "HID_ID=0003:123456789:00000002");        // nine digits
    Add(5, "DRIVER=hid-generic");                    // no HID_ID at all
    Add(6, "HID_ID=0003:00000801:00000002", false);  // uevent unreachable
    ASSERT_TRUE(m_host.ListInterfaces(list)) << m_host.LastError().message;
    const std::vector<std::string> order = {"/dev/hidraw1", "/dev/hidraw2", "/dev/hidraw3", "/dev/hidraw4",
                                            "/dev/hidraw5", "/dev/hidraw6", "/dev/hidraw10"};
    ASSERT_EQ(list.size(), order.size());
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].path, order[i]);
        EXPECT_EQ(list[i].idsKnown, i == 1 || i == 6) << list[i].path;
    }
    EXPECT_EQ(list[1].vendorId, 0x0801);
    EXPECT_EQ(list[1].productId, 0x0002);
    EXPECT_EQ(list[6].vendorId, 0xABCD);
    EXPECT_EQ(list[6].productId, 0xF00D);
    EXPECT_EQ(m_host.LastError().code, 0);
}

TEST_F(HidrawHostTest, UnreadableClassDirectoryFails)
{
    gchar* sys = umockdev_testbed_get_sys_dir(m_bed);
    const std::string classDir = std::string(sys) + "/class";
    g_free(sys);
    ASSERT_EQ(g_mkdir_with_parents(classDir.c_str(), 0755), 0);
    std::fclose(std::fopen((classDir + "/hidraw").c_str(), "w"));  // a file where the directory should be
    std::vector<HidInterfaceInfo> list;
    EXPECT_FALSE(m_host.ListInterfaces(list));
    EXPECT_EQ(m_host.LastError().code, ENOTDIR);
    EXPECT_NE(m_host.LastError().message.find("/sys/class/hidraw"), std::string::npos);
}

TEST_F(HidrawHostTest, OpensInEitherModeAndReadsAttributes)
{
    MockNode& node = Add(0);
    Set(node, [](MockNode& n) { n.product = -2; });  // the kernel's signed field for 0xFFFE
    for (const auto& [access, mode] : {std::pair{HidAccess::ReadWrite, O_RDWR}, {HidAccess::QueryOnly, O_RDONLY}}) {
        const auto before = OpenFds();
        auto device = m_host.Open("/dev/hidraw0", access);
        ASSERT_NE(device, nullptr) << m_host.LastError().message;
        // umockdev backs an emulated node with a pty: the new /dev/pts entry is ours.
        const auto during = OpenFds();
        const auto ours = std::find_if(during.begin(), during.end(), [&](const auto& fd) {
            return before.count(fd.first) == 0 && fd.second.rfind("/dev/pts/", 0) == 0;
        });
        ASSERT_NE(ours, during.end()) << ::testing::PrintToString(during);
        const int added = ours->first;
        const int flags = fcntl(added, F_GETFL);
        EXPECT_EQ(flags & O_ACCMODE, mode);
        EXPECT_NE(flags & O_NONBLOCK, 0);
        EXPECT_NE(fcntl(added, F_GETFD) & FD_CLOEXEC, 0);

        HidAttributes attributes;
        ASSERT_TRUE(device->GetAttributes(attributes)) << device->LastError().message;
        EXPECT_EQ(attributes.vendorId, 0x0801);
        EXPECT_EQ(attributes.productId, 0xFFFE);
        EXPECT_EQ(attributes.versionNumber, 0);
        device.reset();
        EXPECT_EQ(SettledFds(before), before) << "closing the device closes its descriptor";
    }
}

TEST_F(HidrawHostTest, OpeningAMissingNodeNamesIt)
{
    EXPECT_EQ(m_host.Open("/dev/hidraw-corvalt-absent", HidAccess::ReadWrite), nullptr);
    EXPECT_EQ(m_host.LastError().code, ENOENT);
    EXPECT_NE(m_host.LastError().message.find("/dev/hidraw-corvalt-absent"), std::string::npos);
}

TEST_F(HidrawHostTest, ReadsTheDescriptorAndRefusesImpossibleSizes)
{
    MockNode& node = Add(0);
    auto device = Open(node, kNumbered);
    Bytes descriptor;
    ASSERT_TRUE(device->GetReportDescriptor(descriptor)) << device->LastError().message;
    EXPECT_EQ(descriptor, kNumbered);

    struct Case {
        int claimed, error, code;
    };
    // hidraw hands over at most 4095 bytes: a longer descriptor is not asked for.
    for (const Case& c :
         {Case{4097, 0, EMSGSIZE}, Case{-1, 0, EMSGSIZE}, Case{10, EIO, EIO}, Case{4096, 0, EMSGSIZE}}) {
        Set(node, [&](MockNode& n) {
            n.descriptorSize = c.claimed;
            n.descriptorError = c.error;
        });
        EXPECT_FALSE(device->GetReportDescriptor(descriptor)) << c.claimed;
        EXPECT_EQ(device->LastError().code, c.code) << c.claimed;
        // A size refused is the reason a reader with it is not supported.
        EXPECT_EQ(device->LastError().message,
                  c.code == EMSGSIZE
                      ? "report descriptor of " + std::to_string(c.claimed) + " bytes, at most 4095"
                      : "HIDIOCGRDESCSIZE on /dev/hidraw0 failed: " + std::string(std::strerror(c.code)));
    }
}

TEST_F(HidrawHostTest, ExchangesFeatureReports)
{
    MockNode& node = Add(0);
    auto device = Open(node, kNumbered);
    const Bytes sent = {0x02, 0x10, 0x20, 0x30, 0, 0, 0, 0};
    ASSERT_TRUE(device->SetFeature(sent.data(), sent.size())) << device->LastError().message;
    EXPECT_EQ(Get(node, [](MockNode& n) { return n.featuresSet; }), std::vector<Bytes>{sent});

    Set(node, [](MockNode& n) { n.features[0x02] = {0x02, 0xAB, 0xCD}; });
    Bytes answer(8, 0xEE);
    answer[0] = 0x02;
    ASSERT_TRUE(device->GetFeature(answer.data(), answer.size())) << device->LastError().message;
    EXPECT_EQ(answer, (Bytes{0x02, 0xAB, 0xCD, 0, 0, 0, 0, 0}));

    answer[0] = 0x05;  // the mock stalls on unknown ids, as devices do
    EXPECT_FALSE(device->GetFeature(answer.data(), answer.size()));
    EXPECT_EQ(device->LastError().code, EPIPE);
    EXPECT_NE(device->LastError().message.find("HIDIOCGFEATURE on /dev/hidraw0"), std::string::npos);

    for (size_t length : {size_t{0}, size_t{1}}) {
        EXPECT_FALSE(device->SetFeature(sent.data(), length));
        EXPECT_EQ(device->LastError().code, EINVAL);
        EXPECT_FALSE(device->GetFeature(answer.data(), length));
        EXPECT_EQ(device->LastError().code, EINVAL);
    }
    EXPECT_FALSE(device->SetFeature(nullptr, 8));
    EXPECT_FALSE(device->GetFeature(nullptr, 8));
    EXPECT_EQ(Get(node, [](MockNode& n) { return n.featuresSet.size(); }), 1u) << "refused calls stay here";
    EXPECT_TRUE(device->SetFeature(sent.data(), sent.size()));
    EXPECT_EQ(device->LastError().code, 0) << "a good call clears the last error";
}

TEST_F(HidrawHostTest, InputReportsAlwaysStartWithTheirId)
{
    struct Case {
        const char* what;
        Bytes descriptor;
        int descriptorError;
        Bytes wire;
        size_t asked;
        Bytes expected;
    };
    const Case cases[] = {
        {"unnumbered", kUnnumbered, 0, {0x11, 0x22, 0x33}, 7, {0x00, 0x11, 0x22, 0x33, 0, 0, 0, 0}},
        {"numbered", kNumbered, 0, {0x01, 0x11, 0x22}, 8, {0x01, 0x11, 0x22, 0, 0, 0, 0, 0}},
        {"unreadable descriptor", kNumbered, EIO, {0x01, 0x11}, 7, {0x00, 0x01, 0x11, 0, 0, 0, 0, 0}},
        {"malformed descriptor", {0x06, 0x00}, 0, {0x01}, 7, {0x00, 0x01, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MockNode& node = Add(static_cast<int>(m_nodes.size()));
        Set(node, [&](MockNode& n) {
            n.descriptorError = c.descriptorError;
            n.reads.emplace_back(0, c.wire);
        });
        auto device = Open(node, c.descriptor);
        Bytes buffer(8, 0xEE);
        size_t count = 99;
        ASSERT_EQ(device->ReadInput(buffer.data(), buffer.size(), &count), HidReadStatus::Complete);
        EXPECT_EQ(buffer, c.expected);
        EXPECT_EQ(count, c.wire.size() + (c.expected[0] == 0 ? 1 : 0));
        EXPECT_EQ(Get(node, [](MockNode& n) { return n.readLengths; }), std::vector<size_t>{c.asked});
    }
}

TEST_F(HidrawHostTest, ReadOutcomes)
{
    struct Case {
        long result;
        bool gone;
        HidReadStatus status;
        int code;
    };
    const Case cases[] = {
        {-EAGAIN, false, HidReadStatus::Pending, 0},    {-EINTR, false, HidReadStatus::Pending, 0},
        {0, false, HidReadStatus::Failed, ENODEV},      {-EIO, false, HidReadStatus::Failed, EIO},
        {-ENODEV, true, HidReadStatus::Failed, ENODEV},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        MockNode& node = Add(static_cast<int>(m_nodes.size()));
        auto device = Open(node, kUnnumbered);
        Set(node, [&](MockNode& n) {
            n.reads.emplace_back(c.result, Bytes{});
            n.goneError = c.gone ? ENODEV : 0;
        });
        uint8_t buffer[8];
        size_t count = 99;
        EXPECT_EQ(device->ReadInput(buffer, sizeof buffer, &count), c.status);
        EXPECT_EQ(count, 0u);
        EXPECT_EQ(device->LastError().code, c.code) << device->LastError().message;
        if (c.code != 0) {
            EXPECT_NE(device->LastError().message.find("/dev/hidraw"), std::string::npos);
        }
    }
    MockNode& node = Add(static_cast<int>(m_nodes.size()));
    auto device = Open(node, kUnnumbered);
    uint8_t buffer[8];
    size_t count = 0;
    EXPECT_EQ(device->ReadInput(buffer, sizeof buffer, &count), HidReadStatus::Pending) << "empty queue";
    EXPECT_EQ(device->ReadInput(buffer, 1, &count), HidReadStatus::Failed);
    EXPECT_EQ(device->LastError().code, EINVAL);
}

TEST_F(HidrawHostTest, ManyOpenCloseCyclesLeakNoDescriptor)
{
    Add(0);
    const auto before = OpenFds();
    for (int i = 0; i < 100; ++i) {
        auto device = m_host.Open("/dev/hidraw0", i % 2 ? HidAccess::ReadWrite : HidAccess::QueryOnly);
        ASSERT_NE(device, nullptr);
        uint8_t buffer[8] = {0x07};
        size_t count = 0;
        EXPECT_FALSE(device->GetFeature(buffer, sizeof buffer));
        EXPECT_EQ(device->ReadInput(buffer, sizeof buffer, &count), HidReadStatus::Pending);
        // Only a few: the preload keeps a slot for each failed open under
        // /dev and aborts the process after 50.
        if (i % 25 == 0) {
            EXPECT_EQ(m_host.Open("/dev/hidraw-corvalt-absent", HidAccess::ReadWrite), nullptr);
        }
        std::vector<HidInterfaceInfo> list;
        EXPECT_TRUE(m_host.ListInterfaces(list));
    }
    EXPECT_EQ(SettledFds(before), before);
}

}  // namespace
}  // namespace corvalt

int main(int argc, char** argv)
{
    return corvalt::testing::RunUnderUmockdev(argc, argv);
}
