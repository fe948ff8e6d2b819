// Emulated hidraw nodes for tests of the real HidrawHost: umockdev's sysfs
// entries plus an ioctl/read handler per node, whose answers a test sets and
// whose requests it inspects. umockdev backs each node with a
// pseudo-terminal in raw mode. Runs only under libumockdev-preload.
#pragma once

#include <umockdev.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/hidraw_host.h"

namespace corvalt::testing {

using Bytes = std::vector<uint8_t>;

// Vendor page, one 7-byte input report and one 7-byte feature report; the
// numbered variant gives them ids 1 and 2.
extern const Bytes kUnnumbered;
extern const Bytes kNumbered;
// The uevent line of a supported reader's HID device.
inline constexpr const char* kReaderHidId = "HID_ID=0003:00000801:00000002";

// One emulated node. The handlers run on umockdev's worker thread while the
// test thread reads and changes the same state, hence the mutex.
struct MockNode {
    std::string path;
    std::mutex mutex;
    int16_t vendor = 0x0801, product = 0x0002;
    Bytes descriptor = kUnnumbered;
    std::optional<int> descriptorSize;         // what HIDIOCGRDESCSIZE claims instead of the size
    int descriptorError = 0;                   // errno of HIDIOCGRDESCSIZE
    int goneError = 0;                         // errno of every call: unplugged
    std::deque<std::pair<long, Bytes>> reads;  // (result or -errno, bytes); empty: the terminal's (Deliver)
    std::map<uint8_t, Bytes> features;         // HIDIOCGFEATURE answer by id; none: EPIPE
    std::vector<Bytes> featuresSet;
    std::vector<size_t> readLengths;
    int goneAfterSets = -1;  // unplugged once this many feature reports were set
};

// The test thread reaches a node's state only through these, under its mutex.
template <typename Change>
void Set(MockNode& node, Change change)
{
    std::lock_guard lock(node.mutex);
    change(node);
}
template <typename Look>
auto Get(MockNode& node, Look look)
{
    std::lock_guard lock(node.mutex);
    return look(node);
}

// The descriptors open in this process (number and target), less the one
// listing them and umockdev's own sockets and eventfds.
std::map<int, std::string> OpenFds();
// The same after umockdev's worker has had up to two seconds to close the
// files it opens for a moment, stopping as soon as it matches expected.
std::map<int, std::string> SettledFds(const std::map<int, std::string>& expected);

class MockHidrawTest : public ::testing::Test {
protected:
    ~MockHidrawTest() override;

    // Adds hidrawN under a HID device whose uevent holds `uevent` lines;
    // without `link` the class entry has no "device" link, so no uevent.
    // Its own uevent names its node, as libudev's users (Wine) look for it.
    // Announces it with an "add" event, once the node can be opened: udev
    // monitors (Wine's) open it at once, and read its descriptor, which is
    // therefore given here.
    MockNode& Add(int number, const std::string& uevent = kReaderHidId, bool link = true,
                  const Bytes& descriptor = kUnnumbered);
    // Takes the node out of sysfs and /dev, as an unplug does, after a
    // "remove" event.
    void Remove(MockNode& node);

    // Queues an input report as the kernel does: the node's terminal
    // holds it, so that a reader waiting in poll() wakes and read() hands
    // it over (Wine's bus driver reads only then). One report at a time:
    // the terminal would hand two queued ones over in one read.
    void Deliver(MockNode& node, const Bytes& report);

    std::unique_ptr<HidDevice> Open(MockNode& node, Bytes descriptor);

    UMockdevTestbed* m_bed = umockdev_testbed_new();
    std::vector<UMockdevIoctlBase*> m_handlers;
    std::vector<std::unique_ptr<MockNode>> m_nodes;  // outlive the testbed's worker
    HidrawHost m_host;
};

// main() of a test program built on these nodes: runs the tests, or exits
// 77 (CTest SKIP) when the preload is not in effect.
int RunUnderUmockdev(int argc, char** argv);

}  // namespace corvalt::testing
