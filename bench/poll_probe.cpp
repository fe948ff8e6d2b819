// How long one step of the reading-mode poll holds the window, and how much
// processor time the poll costs while no reader is attached: the real poll
// over the real hidraw host and clock, ticking every 300 ms, with HID
// devices listed that are not readers (umockdev's emulated sysfs), and
// optionally readers whose node cannot be used (no udev rule, say), or
// readers that open but fail every read.
//
//   LD_PRELOAD=libumockdev-preload.so.0 poll_probe [seconds [devices [unusable readers [failing readers]]]]
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <umockdev.h>

#include <time.h>

#include <cerrno>
#include <cstring>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "rules/card_swipe_steps.h"
#include "rules/reader_poll.h"
#include "platform/hidraw_host.h"
#include "reader/reader_models.h"

namespace {

using namespace corvalt;
using std::chrono::steady_clock;

constexpr auto kTick = std::chrono::milliseconds(300);
constexpr auto kSlowStep = std::chrono::milliseconds(20);  // the budget for one step

class QuietWindow final : public PollWindow {
public:
    void ShowStatus(std::string_view) override {}
    void SetTitle(std::string_view) override {}
    void ShowEmptyCardText() override {}
    void ShowCardText(std::string_view) override {}
    void FocusTranscript() override {}
    void PumpMessages() override {}
};

// The real clock, counting the waits the poll asks of it, so that a slow
// step shows whether the poll waited or the machine was busy elsewhere.
class CountingClock final : public Clock {
public:
    uint64_t NowMs() const override { return m_clock.NowMs(); }
    void Sleep(uint32_t milliseconds) override
    {
        ++waits;
        m_clock.Sleep(milliseconds);
    }
    int waits = 0;

private:
    SystemClock m_clock;
};

// The ids the reader nodes present: the first accepted vendor and the first
// model read in HID mode.
constexpr uint16_t kReaderVendorId = kAcceptedVendorIds[0];
constexpr uint16_t kReaderProductId = std::ranges::find(kReaderModels, ReaderMode::kHid, &ReaderModel::mode)->productId;

double CpuSeconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// HID devices hidraw<first>...: with ids that no reader has, so discovery
// passes them over, or with a reader's ids but no device behind the node.
void AddDevices(UMockdevTestbed* bed, int first, int count, bool readerIds)
{
    for (int i = first; i < first + count; ++i) {
        const std::string name = "hidraw" + std::to_string(i), parent = "/devices/virtual/hid/h" + name;
        char uevent[64];
        if (readerIds)
            std::snprintf(uevent, sizeof uevent, "HID_ID=0003:%08X:%08X", kReaderVendorId, kReaderProductId);
        else
            std::snprintf(uevent, sizeof uevent, "HID_ID=0003:00001234:%08X", 0x100 + i);
        const std::string text = "P: " + parent + "\nE: SUBSYSTEM=hid\nE: " + uevent + "\n\nP: " + parent + "/hidraw/" +
                                 name + "\nN: " + name + "\nE: SUBSYSTEM=hidraw\nA: dev=245:" + std::to_string(i) +
                                 "\nL: device=../../../h" + name + "\n";
        GError* error = nullptr;
        if (!umockdev_testbed_add_from_string(bed, text.c_str(), &error)) {
            std::fprintf(stderr, "poll_probe: %s\n", error != nullptr ? error->message : "adding a device failed");
            std::exit(1);
        }
    }
}

// A reader's node that answers the identity queries (the reader ids above, a
// vendor-page descriptor with 7-byte input and feature reports) and fails
// every read with EIO.
const uint8_t kFailingReaderDescriptor[] = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00,
                                            0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x07, 0x09, 0x02,
                                            0x81, 0x02, 0x09, 0x03, 0xB1, 0x02, 0xC0};

gboolean AnswerIdentity(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer)
{
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* mem =
        umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, _IOC_SIZE(request), nullptr);
    int error = ENOTTY;
    if (mem == nullptr) {
        error = EFAULT;
    } else if (request == HIDIOCGRAWINFO) {
        const hidraw_devinfo info{3, kReaderVendorId, kReaderProductId};
        std::memcpy(mem->data, &info, sizeof info);
        error = 0;
    } else if (request == HIDIOCGRDESCSIZE) {
        const int size = sizeof kFailingReaderDescriptor;
        std::memcpy(mem->data, &size, sizeof size);
        error = 0;
    } else if (request == HIDIOCGRDESC) {
        std::memcpy(reinterpret_cast<hidraw_report_descriptor*>(mem->data)->value, kFailingReaderDescriptor,
                    sizeof kFailingReaderDescriptor);
        error = 0;
    }
    umockdev_ioctl_client_complete(client, error == 0 ? 0 : -1, error);
    if (mem != nullptr)
        g_object_unref(mem);
    return TRUE;
}

gboolean FailRead(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer)
{
    umockdev_ioctl_client_complete(client, -1, EIO);
    return TRUE;
}

// Readers hidraw<first>...: listed with a reader's ids, opened by discovery,
// failing every read.
void AddFailingReaders(UMockdevTestbed* bed, int first, int count, UMockdevIoctlBase* handler)
{
    AddDevices(bed, first, count, true);
    for (int i = first; i < first + count; ++i) {
        GError* error = nullptr;
        if (!umockdev_testbed_attach_ioctl(bed, ("/dev/hidraw" + std::to_string(i)).c_str(), handler, &error)) {
            std::fprintf(stderr, "poll_probe: %s\n", error != nullptr ? error->message : "attaching a node failed");
            std::exit(1);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    const int devices = argc > 2 ? std::atoi(argv[2]) : 8;
    const int unusableReaders = argc > 3 ? std::atoi(argv[3]) : 0;
    const int failingReaders = argc > 4 ? std::atoi(argv[4]) : 0;

    UMockdevTestbed* bed = umockdev_testbed_new();
    if (!umockdev_in_mock_environment()) {
        std::fprintf(stderr, "poll_probe: run it under LD_PRELOAD=libumockdev-preload.so.0\n");
        return 2;
    }
    AddDevices(bed, 0, devices, false);
    AddDevices(bed, devices, unusableReaders, true);
    UMockdevIoctlBase* failingNode = umockdev_ioctl_base_new();
    g_signal_connect(failingNode, "handle-ioctl", G_CALLBACK(AnswerIdentity), nullptr);
    g_signal_connect(failingNode, "handle-read", G_CALLBACK(FailRead), nullptr);
    AddFailingReaders(bed, devices + unusableReaders, failingReaders, failingNode);

    HidrawHost host;
    CountingClock clock;
    ReaderConnection connection(host, clock);
    CardData card;
    CardSwipeSteps steps(connection, card);
    QuietWindow window;
    ReaderPoll poll(connection, window, &steps);
    poll.Restart();

    std::vector<HidInterfaceInfo> listed;
    host.ListInterfaces(listed);

    const double processStart = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const auto start = steady_clock::now();
    const auto end = start + std::chrono::seconds(seconds);
    steady_clock::duration longest{}, longestAfterFirst{}, total{};
    int stepsRun = 0;
    for (auto next = start; next < end;) {
        std::this_thread::sleep_until(next);
        const auto before = steady_clock::now();
        const int waitsBefore = clock.waits;
        poll.PollReader();
        const auto after = steady_clock::now();
        if (after - before > kSlowStep)
            std::printf("step %d took %.1f ms, with %d waits of the poll's own\n", stepsRun,
                        std::chrono::duration<double, std::milli>(after - before).count(), clock.waits - waitsBefore);
        longest = std::max(longest, after - before);
        if (stepsRun > 0)
            longestAfterFirst = std::max(longestAfterFirst, after - before);
        total += after - before;
        ++stepsRun;
        // Like a timer, a step that overran its tick is followed at once,
        // without making up for the ticks it missed.
        next = std::max(next + kTick, after);
    }
    std::this_thread::sleep_until(end);  // the idle time after the last step counts too
    const double wall = std::chrono::duration<double>(steady_clock::now() - start).count();
    const double cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processStart;

    using ms = std::chrono::duration<double, std::milli>;
    std::printf("devices listed: %zu, poll state: %d, reader open: %s\n", listed.size(), poll.State(),
                connection.IsOpen() ? "yes" : "no");
    std::printf("poll steps: %d in %.1f s\n", stepsRun, wall);
    std::printf("longest step: %.3f ms, after the first: %.3f ms, mean step: %.3f ms\n", ms(longest).count(),
                ms(longestAfterFirst).count(), ms(total).count() / std::max(stepsRun, 1));
    std::printf("CPU time: %.3f s, %.3f %% of one core\n", cpu, 100.0 * cpu / wall);
    g_object_unref(bed);
    g_object_unref(failingNode);
    return 0;
}
