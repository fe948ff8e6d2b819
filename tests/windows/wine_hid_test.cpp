// corvalt-cli.exe, the Windows build, against umockdev's emulated hidraw
// nodes through Wine's own HID stack: Wine's bus driver opens the node,
// SetupAPI lists it, and the program's Windows host reads and writes it
// with the system's HID calls. A Linux program, run by the Windows build's
// tests (scripts/setup.sh test-windows) with the program's path, and WINE,
// WINESERVER and WINEPREFIX set; exits 77 (skipped) outside umockdev.
//
// Wine's driver must be in the umockdev world to see its nodes, so this
// program starts the wineserver itself, after the nodes exist.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "carddata/card_usages.h"
#include "cli/cli_texts.h"
#include "rules/window_texts.h"
#include "tests/platform/mock_hidraw.h"
#include "virtualreader/input_report_layout.h"

namespace corvalt {
namespace {

using testing::Bytes;
using testing::MockNode;

std::string g_program;  // corvalt-cli.exe
std::string g_window;   // corvalt.exe, when given

const char* Setting(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// How often `what` occurs in `text`.
size_t Occurrences(const std::string& text, std::string_view what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++count;
    return count;
}

struct WineRun {
    int exitCode = -1;  // -1: stopped
    std::string out, err;
};

// Runs corvalt-cli.exe under Wine and collects its output; `during` sees
// the run so far after each piece of it. A run that takes longer than
// `seconds` is stopped and fails the test.
WineRun RunProgram(const std::vector<std::string>& arguments,
                   const std::function<void(const WineRun&)>& during = nullptr, int seconds = 60)
{
    std::vector<std::string> words = {Setting("WINE"), g_program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    int out[2], err[2];
    if (::pipe(out) != 0)
        return {};
    if (::pipe(err) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        for (const int fd : {out[0], out[1], err[0], err[1]})
            ::close(fd);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    WineRun run;
    // Reads what either pipe holds, waiting up to 0.1 s for it; true when
    // anything came.
    const auto collect = [&] {
        pollfd ready[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
        if (::poll(ready, 2, 100) <= 0)
            return false;
        bool any = false;
        for (int i = 0; i < 2; ++i) {
            char buffer[4096];
            const ssize_t count = (ready[i].revents & POLLIN) != 0 ? ::read(ready[i].fd, buffer, sizeof buffer) : 0;
            if (count > 0) {
                (i == 0 ? run.out : run.err).append(buffer, static_cast<size_t>(count));
                any = true;
            }
        }
        return any;
    };
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        if (std::chrono::steady_clock::now() > end) {
            ADD_FAILURE() << "corvalt-cli.exe did not finish in " << seconds << " s; its output: " << run.out
                          << "; its errors: " << run.err;
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            break;
        }
        if (collect()) {
            if (during)
                during(run);
            continue;
        }
        // Wine's own processes may hold the pipes open after the program
        // has ended: its end, not the pipes', ends the run.
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child) {
            while (collect()) {
            }
            if (WIFEXITED(status))
                run.exitCode = WEXITSTATUS(status);
            break;
        }
    }
    ::close(out[0]);
    ::close(err[0]);
    return run;
}

// The wineserver of the prefix, started inside the umockdev world so that
// Wine's bus driver sees the emulated nodes, and ended with the test.
void Wineserver(const char* option)
{
    // The server goes to the background and keeps the handles it was
    // started with: none of the test's.
    const std::string command = std::string(Setting("WINESERVER")) + " " + option + " </dev/null >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

class WineHidTest : public testing::MockHidrawTest {
protected:
    WineHidTest() : m_node(Add(0, testing::kReaderHidId, true, m_layout.Descriptor()))
    {
        testing::Set(m_node, [](MockNode& node) {
            node.features[0] = {0x00, 0x00, 0x01, 0xAB};  // RC=00, one data byte
        });
        // The emulated node is a terminal that Wine's driver opens without
        // O_NOCTTY: an unplug's hang-up would end Wine's whole HID stack.
        ::signal(SIGHUP, SIG_IGN);
        // A server of the prefix that runs outside the umockdev world
        // (one lingers a few seconds after any program) would serve it.
        std::system((std::string(Setting("WINESERVER")) + " -k >/dev/null 2>&1").c_str());
        Wineserver("-w");
        Wineserver("-p");
        // Wine's services, its bus driver among them, start with the first
        // program and keep the standard handles it had: here, none of the
        // test's pipes. They find the emulated node as they start.
        const std::string boot = std::string(Setting("WINE")) + " wineboot </dev/null >/dev/null 2>&1";
        EXPECT_EQ(std::system(boot.c_str()), 0);
    }
    ~WineHidTest() override
    {
        Wineserver("-k");
        Wineserver("-w");
    }

    // The line `list` prints for the emulated reader, or empty. Wine's
    // interface paths name it "...vid_0801&pid_0002...", in either case.
    static std::string ReaderLine(const std::string& listing)
    {
        const size_t at = Lower(listing).find("vid_0801&pid_0002");
        if (at == std::string::npos)
            return {};
        const size_t begin = listing.rfind('\n', at) == std::string::npos ? 0 : listing.rfind('\n', at) + 1;
        return listing.substr(begin, listing.find('\n', at) - begin);
    }

    // The listing once it shows the reader, or no longer shows it: Wine's
    // bus driver takes udev's events on a thread of its own. Gives up
    // after ten seconds.
    static std::string ListUntil(bool listed)
    {
        std::string listing;
        for (int attempt = 0; attempt < 20; ++attempt) {
            listing = RunProgram({"list"}).out;
            if (ReaderLine(listing).empty() != listed)
                break;
            ::usleep(500000);
        }
        return listing;
    }

    InputReportLayout m_layout{ReaderCardFields(0x0002)};
    MockNode& m_node;
};

TEST_F(WineHidTest, ListAndSendReachTheNode)
{
    const WineRun list = RunProgram({"list"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_NE(ReaderLine(list.out).find("  0801:0002  supported reader, HID mode, can be opened"), std::string::npos)
        << list.out;

    // The same report on the wire as the Linux build sends.
    const WineRun send = RunProgram({"send", "01 10 00"});
    EXPECT_EQ(send.exitCode, 0);
    EXPECT_EQ(send.out, "Request      : CMND=01, DATA= 10 00\nResponse     : RC=00, DATA= AB\n");
    const std::vector<Bytes> sent = testing::Get(m_node, [](MockNode& node) { return node.featuresSet; });
    ASSERT_EQ(sent.size(), 1u);
    Bytes expected = {0x00, 0x01, 0x02, 0x10, 0x00};
    expected.resize(64, 0);
    EXPECT_EQ(sent[0], expected);
}

// A swipe reaches the program through Wine's HID stack and is written as
// the Linux build writes it, but for the time and the system's path.
TEST_F(WineHidTest, WatchDecodesASwipe)
{
    const Bytes report = InputReportBuilder(m_layout)
                             .Set(kTrackLengthUsages[1], 5)
                             .Set(kTrackDataUsages[1], ";123?")
                             .Set(kTrackDecodeStatusUsages[2], 1);
    // Windows hands a program only the reports that arrive while it holds
    // the reader open: the card is swiped once the program says it reads.
    bool swiped = false;
    const auto swipe = [&](const WineRun& sofar) {
        if (swiped || sofar.err.find(kReadingSwipesFrom) == std::string::npos)
            return;
        // The node hands the report over without the id byte its
        // descriptor does not declare.
        Deliver(m_node, Bytes(report.begin() + 1, report.end()));
        swiped = true;
    };
    const WineRun watch = RunProgram({"watch", "--json", "--count", "1"}, swipe, 30);
    EXPECT_EQ(watch.exitCode, 0) << watch.err;
    ASSERT_TRUE(swiped) << watch.err;

    const auto swipeJson = nlohmann::ordered_json::parse(watch.out, nullptr, false);
    ASSERT_TRUE(swipeJson.is_object()) << watch.out;
    const std::string time = swipeJson.value("time", ""), path = swipeJson.value("path", "");
    EXPECT_TRUE(std::regex_match(time, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)"))) << time;
    EXPECT_NE(Lower(path).find("vid_0801&pid_0002"), std::string::npos) << path;
    EXPECT_EQ(watch.out, R"({"time":)" + nlohmann::json(time).dump() + R"(,"path":)" + nlohmann::json(path).dump() +
                             R"(,"vendor_id":2049,"product_id":2,"encode_type":"ISO","tracks":[)"
                             R"({"ok":true,"data":""},{"ok":true,"data":";123?"},{"ok":false,"data":""}]})"
                             "\n");
}

// Wine's bus driver learns of an unplug from udev's "remove" event, as on
// a real system; the program's next listing follows.
TEST_F(WineHidTest, AnUnplugIsNoticed)
{
    const std::string before = RunProgram({"list"}).out;
    ASSERT_NE(ReaderLine(before), "") << before;
    Remove(m_node);
    const std::string unplugged = ListUntil(false);
    EXPECT_EQ(ReaderLine(unplugged), "") << unplugged;
}

// A running watch notices the reader go and come back, as on Linux: Wine's
// bus driver follows udev's "remove" and "add" events, and the program
// finds the reader again and reads its swipes.
TEST_F(WineHidTest, WatchFollowsTheReaderThroughAnUnplugAndAPlug)
{
    const Bytes report = InputReportBuilder(m_layout).Set(kTrackLengthUsages[1], 5).Set(kTrackDataUsages[1], ";456?");
    enum { kReading, kUnplugged, kPluggedIn, kSwiped } step = kReading;
    MockNode* back = nullptr;
    const auto replug = [&](const WineRun& sofar) {
        if (step == kReading && Occurrences(sofar.err, kReadingSwipesFrom) == 1) {
            Remove(m_node);
            step = kUnplugged;
        } else if (step == kUnplugged && Occurrences(sofar.err, kStatusAttachDevice) == 1) {
            // The reader comes back as hidraw1: umockdev keeps a removed
            // node's terminal, as the kernel keeps hidraw0 while a program
            // holds it open.
            back = &Add(1, testing::kReaderHidId, true, m_layout.Descriptor());
            step = kPluggedIn;
        } else if (step == kPluggedIn && Occurrences(sofar.err, kReadingSwipesFrom) == 2) {
            Deliver(*back, Bytes(report.begin() + 1, report.end()));
            step = kSwiped;
        }
    };
    const WineRun watch = RunProgram({"watch", "--json", "--count", "1"}, replug, 40);
    EXPECT_EQ(watch.exitCode, 0) << watch.err;
    ASSERT_EQ(step, kSwiped) << watch.err;
    const auto swipeJson = nlohmann::json::parse(watch.out, nullptr, false);
    ASSERT_TRUE(swipeJson.is_object()) << watch.out;
    EXPECT_EQ(swipeJson["tracks"][1]["data"], ";456?") << watch.out;
}

// Runs a shell command line (xdotool's); true when it succeeded.
bool Shell(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

// The window for Windows finds the emulated reader through Wine's HID stack
// and sends a command typed into its command edit, by keyboard alone: the
// same report on the wire as corvalt-cli's and the Linux build's.
TEST_F(WineHidTest, TheWindowFindsTheReaderAndSendsATypedCommand)
{
    if (g_window.empty())
        GTEST_SKIP() << "no window program given";
    ASSERT_NE(*Setting("DISPLAY"), '\0') << "the window needs a display";
    const pid_t window = ::fork();
    if (window == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
            ::dup2(null, fd);
        ::execl(Setting("WINE"), Setting("WINE"), g_window.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Found: the title names the reader's mode.
    const std::string found = "xdotool search --name '^USB HID MSR Demo - Hid Mode$' >/dev/null 2>&1";
    bool shown = false;
    for (int attempt = 0; attempt < 600 && !shown; ++attempt) {
        shown = Shell(found);
        if (!shown)
            ::usleep(100000);
    }
    ASSERT_TRUE(shown) << "the window never found the reader";
    // Wine, with no window manager, activates a window that is clicked (its
    // margin: no control there). Shift+F6 hands the keys of reading mode to the
    // controls; Tab reaches the mode radios and Right chooses the command
    // mode, whose command edit takes the focus; Enter there sends.
    EXPECT_TRUE(
        Shell("xdotool mousemove --window \"$(xdotool search --name '^USB HID MSR Demo' | head -n 1)\" 3 3 "
              "click 1 sleep 0.5 key --delay 200 shift+F6 Tab Right sleep 1 type --delay 50 '01 10 00'"));
    EXPECT_TRUE(Shell("xdotool key Return"));
    std::vector<Bytes> sent;
    for (int attempt = 0; attempt < 200 && sent.empty(); ++attempt) {
        ::usleep(100000);
        sent = testing::Get(m_node, [](MockNode& node) { return node.featuresSet; });
    }
    ::kill(window, SIGKILL);
    ::waitpid(window, nullptr, 0);
    ASSERT_EQ(sent.size(), 1u);
    Bytes expected = {0x00, 0x01, 0x02, 0x10, 0x00};
    expected.resize(64, 0);
    EXPECT_EQ(sent[0], expected);
}

}  // namespace
}  // namespace corvalt

// wine_hid_run CORVALT-CLI.EXE [--window CORVALT.EXE] [gtest options]
int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORVALT-CLI.EXE [--window CORVALT.EXE] [gtest options]\n", argv[0]);
        return 2;
    }
    corvalt::g_program = argv[1];
    if (argc >= 4 && std::string_view(argv[2]) == "--window") {
        corvalt::g_window = argv[3];
        argv[3] = argv[0];
        return corvalt::testing::RunUnderUmockdev(argc - 3, argv + 3);
    }
    return corvalt::testing::RunUnderUmockdev(argc - 1, argv + 1);
}
