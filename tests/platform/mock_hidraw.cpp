#include "tests/platform/mock_hidraw.h"

#include <dirent.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace corvalt::testing {

const Bytes kUnnumbered = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75,
                           0x08, 0x95, 0x07, 0x09, 0x02, 0x81, 0x02, 0x09, 0x03, 0xB1, 0x02, 0xC0};
const Bytes kNumbered = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95,
                         0x07, 0x85, 0x01, 0x09, 0x02, 0x81, 0x02, 0x85, 0x02, 0x09, 0x03, 0xB1, 0x02, 0xC0};

namespace {

gboolean HandleIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data)
{
    auto& node = *static_cast<MockNode*>(data);
    std::lock_guard lock(node.mutex);
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    const size_t size = _IOC_SIZE(request);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    UMockdevIoctlData* mem = umockdev_ioctl_data_resolve(arg, 0, size, nullptr);
    long result = -ENOTTY;
    const unsigned long unsized = request & ~(static_cast<unsigned long>(_IOC_SIZEMASK) << _IOC_SIZESHIFT);
    if (mem == nullptr) {
        result = -EFAULT;
    } else if (node.goneError != 0) {
        result = -node.goneError;
    } else if (request == HIDIOCGRAWINFO) {
        const hidraw_devinfo info{3, node.vendor, node.product};
        std::memcpy(mem->data, &info, sizeof info);
        result = 0;
    } else if (request == HIDIOCGRDESCSIZE) {
        const int claimed = node.descriptorSize.value_or(static_cast<int>(node.descriptor.size()));
        std::memcpy(mem->data, &claimed, sizeof claimed);
        result = node.descriptorError != 0 ? -node.descriptorError : 0;
    } else if (request == HIDIOCGRDESC) {  // the kernel too refuses lengths above 4095
        auto* out = reinterpret_cast<hidraw_report_descriptor*>(mem->data);
        std::memcpy(out->value, node.descriptor.data(), std::min<size_t>(out->size, node.descriptor.size()));
        result = out->size < HID_MAX_DESCRIPTOR_SIZE ? 0 : -EINVAL;
    } else if (unsized == HIDIOCSFEATURE(0)) {
        node.featuresSet.emplace_back(mem->data, mem->data + size);
        result = static_cast<long>(size);
        if (node.goneAfterSets >= 0 && node.featuresSet.size() >= static_cast<size_t>(node.goneAfterSets))
            node.goneError = ENODEV;
    } else if (unsized == HIDIOCGFEATURE(0)) {
        const auto answer = node.features.find(mem->data[0]);
        result = answer == node.features.end() ? -EPIPE : static_cast<long>(std::min(size, answer->second.size()));
        if (result > 0)
            std::memcpy(mem->data, answer->second.data(), static_cast<size_t>(result));
    }
    umockdev_ioctl_client_complete(client, result < 0 ? -1 : result, result < 0 ? static_cast<int>(-result) : 0);
    if (mem != nullptr)
        g_object_unref(mem);
    return TRUE;
}

// With nothing queued the read goes on to the node's terminal: what
// Deliver wrote there, or EAGAIN on the hidraw host's non-blocking
// descriptor.
gboolean HandleRead(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data)
{
    auto& node = *static_cast<MockNode*>(data);
    std::lock_guard lock(node.mutex);
    UMockdevIoctlData* buffer = umockdev_ioctl_client_get_arg(client);
    const size_t room = static_cast<size_t>(buffer->data_len);
    node.readLengths.push_back(room);
    if (node.goneError == 0 && node.reads.empty())
        return FALSE;
    long result = -node.goneError;
    if (node.goneError == 0) {
        auto [status, bytes] = node.reads.front();
        node.reads.pop_front();
        result = status < 0 ? status : static_cast<long>(std::min(room, bytes.size()));
        if (result > 0)
            std::memcpy(buffer->data, bytes.data(), static_cast<size_t>(result));
    }
    umockdev_ioctl_client_complete(client, result < 0 ? -1 : result, result < 0 ? static_cast<int>(-result) : 0);
    return TRUE;
}

std::string SysfsPath(int number)
{
    return "/devices/virtual/hid/hhidraw" + std::to_string(number);
}

}  // namespace

// The preload serves each open node over a socket, and leaks that socket
// when an open of a missing /dev node fails: sockets and eventfds are
// umockdev's, never this code's.
std::map<int, std::string> OpenFds()
{
    std::map<int, std::string> fds;
    DIR* dir = opendir("/proc/self/fd");
    for (dirent* entry; dir != nullptr && (entry = readdir(dir)) != nullptr;) {
        char target[128] = {};
        const std::string link = std::string("/proc/self/fd/") + entry->d_name;
        const int fd = std::atoi(entry->d_name);
        if (entry->d_name[0] == '.' || fd == dirfd(dir) || readlink(link.c_str(), target, sizeof target - 1) < 0 ||
            std::strncmp(target, "socket:", 7) == 0 || std::strncmp(target, "anon_inode:", 11) == 0) {
            continue;
        }
        fds.emplace(fd, target);
    }
    if (dir != nullptr)
        closedir(dir);
    return fds;
}

std::map<int, std::string> SettledFds(const std::map<int, std::string>& expected)
{
    auto fds = OpenFds();
    for (int i = 0; i < 200 && fds != expected; ++i) {
        g_usleep(10000);
        fds = OpenFds();
    }
    return fds;
}

MockHidrawTest::~MockHidrawTest()
{
    g_object_unref(m_bed);
    for (auto* handler : m_handlers)
        g_object_unref(handler);
}

MockNode& MockHidrawTest::Add(int number, const std::string& uevent, bool link, const Bytes& descriptor)
{
    const std::string name = "hidraw" + std::to_string(number), parent = SysfsPath(number);
    std::string text = "P: " + parent + "\nE: SUBSYSTEM=hid\n" + (uevent.empty() ? "" : "E: " + uevent + "\n") +
                       "\nP: " + parent + "/hidraw/" + name + "\nN: " + name +
                       "\nE: SUBSYSTEM=hidraw\nE: DEVNAME=/dev/" + name + "\nA: dev=245:" + std::to_string(number) +
                       "\n" + (link ? "L: device=../../../h" + name + "\n" : "");
    m_nodes.push_back(std::make_unique<MockNode>());
    m_nodes.back()->path = "/dev/" + name;
    m_nodes.back()->descriptor = descriptor;
    // The handler first: the testbed announces the device itself, before
    // its node exists, and a process that opens the node before the
    // handler is there talks to umockdev's default handler for good.
    UMockdevIoctlBase* handler = umockdev_ioctl_base_new();
    g_signal_connect(handler, "handle-ioctl", G_CALLBACK(HandleIoctl), m_nodes.back().get());
    g_signal_connect(handler, "handle-read", G_CALLBACK(HandleRead), m_nodes.back().get());
    GError* error = nullptr;
    EXPECT_TRUE(umockdev_testbed_attach_ioctl(m_bed, ("/dev/" + name).c_str(), handler, &error));
    m_handlers.push_back(handler);
    EXPECT_TRUE(umockdev_testbed_add_from_string(m_bed, text.c_str(), &error)) << (error ? error->message : "");
    umockdev_testbed_uevent(m_bed, ("/sys" + parent + "/hidraw/" + name).c_str(), "add");
    return *m_nodes.back();
}

void MockHidrawTest::Remove(MockNode& node)
{
    const int number = std::atoi(node.path.c_str() + std::strlen("/dev/hidraw"));
    const std::string sysfs = "/sys" + SysfsPath(number);
    Set(node, [](MockNode& n) { n.goneError = ENODEV; });
    umockdev_testbed_uevent(m_bed, (sysfs + "/hidraw/hidraw" + std::to_string(number)).c_str(), "remove");
    umockdev_testbed_remove_device(m_bed, (sysfs + "/hidraw/hidraw" + std::to_string(number)).c_str());
    umockdev_testbed_remove_device(m_bed, sysfs.c_str());
    // The testbed keeps a node that has a handler attached; unplugging
    // takes it away.
    gchar* root = umockdev_testbed_get_root_dir(m_bed);
    ::unlink((std::string(root) + node.path).c_str());
    g_free(root);
}

void MockHidrawTest::Deliver(MockNode& node, const Bytes& report)
{
    const int terminal = umockdev_testbed_get_dev_fd(m_bed, node.path.c_str());
    ASSERT_GE(terminal, 0) << node.path;
    ASSERT_EQ(::write(terminal, report.data(), report.size()), static_cast<ssize_t>(report.size())) << node.path;
}

std::unique_ptr<HidDevice> MockHidrawTest::Open(MockNode& node, Bytes descriptor)
{
    Set(node, [&](MockNode& n) { n.descriptor = std::move(descriptor); });
    auto device = m_host.Open(node.path, HidAccess::ReadWrite);
    EXPECT_NE(device, nullptr) << m_host.LastError().message;
    return device;
}

int RunUnderUmockdev(int argc, char** argv)
{
    // umockdev_in_mock_environment() only answers true once a testbed has
    // redirected /sys, and it keeps its first answer: ask after making one.
    UMockdevTestbed* probe = umockdev_testbed_new();
    const bool mocked = umockdev_in_mock_environment();
    g_object_unref(probe);
    if (!mocked) {
        std::printf("SKIP: not under libumockdev-preload.so (run through ctest or umockdev-wrapper)\n");
        return 77;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

}  // namespace corvalt::testing
