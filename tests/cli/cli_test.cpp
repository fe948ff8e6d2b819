// corvalt-cli over simulated readers: each sub-command's output, messages
// and exit status, one table or scenario each.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>

#include "cli/cli_texts.h"
#include "cli/shell_text.h"
#include "cli/swipe_json.h"
#include "config/interface_commands.h"
#include "rules/window_texts.h"
#include "console/console_texts.h"
#include "tests/cli/cli_run.h"
#include "tests/support/descriptors.h"
#include "tests/support/fake_hid_host.h"
#include "virtualreader/sample_cards.h"

namespace corvalt {
namespace {

using testing::CliRun;
using testing::RequestLine;

::testing::AssertionResult Contains(const std::string& text, const std::string& part)
{
    if (text.find(part) != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << part << "\" is not in:\n" << text;
}

size_t LinesStarting(const std::string& text, const std::string& start)
{
    size_t count = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        count += line.starts_with(start) ? 1 : 0;
    return count;
}

class CliTest : public ::testing::Test {
protected:
    // A virtual reader of the model at the path of the simulated host.
    std::shared_ptr<VirtualReader> AddReader(const std::string& path, uint16_t productId = 0x0002)
    {
        auto reader = std::make_shared<VirtualReader>(productId, m_clock);
        m_devices.push_back(m_host.AddReader(path, reader));
        return reader;
    }
    CliRun Run(const std::vector<std::string>& arguments) { return testing::RunCli(m_host, m_clock, arguments); }
    std::string Script(const std::string& text)
    {
        const std::string path = ::testing::TempDir() + "cli_test_script.txt";
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    testing::ScriptedClock m_clock;
    testing::FakeHidHost m_host;
    std::vector<std::shared_ptr<testing::SimulatedDevice>> m_devices;
};

struct UsageCase {
    std::vector<std::string> arguments;
    int exitCode;
    std::string outStart, errStart;
};

TEST_F(CliTest, CommandLinesEndAtOnceWithTheirStatus)
{
    AddReader("/dev/hidraw0");
    const UsageCase cases[] = {
        {{"--version"}, 0, "corvalt-cli " CORVALT_VERSION "\n", ""},
        {{"--help"}, 0, "USB HID magnetic stripe card readers", ""},
        {{"send", "-h"}, 0, "Send one command", ""},
        {{}, 2, "", "A subcommand is required"},
        {{"list", "--all"}, 2, "", "--all is taken by send, run and set, not by list"},
        {{"--all", "watch"}, 2, "", "--all is taken by send, run and set, not by watch"},
        {{"--all", "send", "02", "--device", "/dev/hidraw0"}, 2, "", "--device excludes --all"},
        {{"set"}, 2, "", "set needs the options of at least one panel"},
        {{"set", "--tracks", "1", "--ctrl"}, 2, "", "--ctrl is a choice of the data format panel"},
        {{"set", "--tracks", "4"}, 2, "", "--tracks: '4' is not a list of tracks"},
        {{"set", "--format", "user", "--key", "a"}, 2, "", "--key 'a' names no key"},
        {{"--virtual-reader=0x3003", "list"}, 2, "", "--virtual-reader: '0x3003' is none of"},
        {{"--virtual-reader", "0x0003", "list"}, 2, "", "The following argument was not expected: 0x0003"},
        {{"send", "01", "1b"}, 2, "", "'01 1b' is not a command"},
        {{"send", "delay", "5"}, 2, "", "A delay is a line of a script"},
        {{"send", "--raw", "01"}, 2, "", "--raw: the length byte must follow the command byte"},
        {{"--device", "", "send", "02"}, 2, "", "--device: an empty path names no device"},
    };
    for (const UsageCase& c : cases) {
        const CliRun run = Run(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_EQ(run.out.substr(0, c.outStart.size()), c.outStart);
        EXPECT_EQ(run.err.substr(0, c.errStart.size()), c.errStart);
    }
    EXPECT_TRUE(m_devices[0]->featuresSent.empty());
}

struct SendCase {
    std::vector<std::string> arguments;
    int setFeatureFailures;
    int exitCode;
    std::string out, err;
};

TEST_F(CliTest, SendWritesTheWindowsLinesAndTheConsolesMessages)
{
    const std::string answered = "Request      : CMND=01, DATA= 10 00\nResponse     : RC=00, DATA=\n";
    const SendCase cases[] = {
        {{"send", "01", "10", "00"}, 0, 0, answered, ""},
        {{"--virtual-reader", "send", "011000", "--device", "virtual-reader"}, 0, 0, answered, ""},
        {{"send", "--raw", "01 05", "AA BB"},
         0,
         0,
         "Request      : CMND=01, DATA= AA BB 00 00 00\nResponse     : RC=00, DATA=\n",
         ""},
        {{"send", "01", std::string(62 * 2, 'A')},
         0,
         1,
         "",
         "Data portion of message can't be longer than 61  bytes\n"},
        {{"send", "02"}, 2, 1, "Request      : CMND=02, DATA=\nResponse     : Failure during transmit\n", ""},
        {{"--device", "/dev/hidraw9", "send", "02"}, 0, 1, "", std::string(kAttachDevice) + "\n"},
    };
    for (const SendCase& c : cases) {
        testing::FakeHidHost host;
        host.AddReader("/dev/hidraw0", std::make_shared<VirtualReader>(0x0002, m_clock))->setFeatureFailures =
            c.setFeatureFailures;
        const CliRun run = testing::RunCli(host, m_clock, c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments[1];
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
    }
}

TEST_F(CliTest, RunListsTheScriptAndWritesEachDelaysFinalLine)
{
    AddReader("/dev/hidraw0");
    const std::string script = Script("; two commands\r\n01 10 00;\r\ndelay 2;  wait\r\n02;\r\n");
    CliRun run = Run({"run", script});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "; two commands\n01 10 00;\ndelay 2;  wait\n02;\n\n" + RequestLine("01 10 00") +
                           "Response     : RC=00, DATA=\nDelay        : (waited 2 seconds)\nFinished downloading\n" +
                           RequestLine("02") + "Response     : RC=00, DATA=\n---\n");
    EXPECT_EQ(run.err, "");

    // Nothing to download, and nothing to read.
    run = Run({"run", Script("01 10 00\n")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, std::string(kStatusNoCommandsFound) + "\n");
    run = Run({"run", "/nonexistent/script.txt"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Contains(run.err, "/nonexistent/script.txt"));
}

// A script's lines reach the terminal as card data does: its control
// characters, escape sequences among them, are shown as pictures.
TEST_F(CliTest, RunShowsAScriptsControlCharactersAsPictures)
{
    AddReader("/dev/hidraw0");
    const CliRun run = Run({"run", Script("\x1b]0;retitled\x07; title\n02;\x1b[2J\x1b[8m\tx\x7f\xc2\x9b\n")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find("\n\n")),
              "\u241b]0;retitled\u2407; title\n02;\u241b[2J\u241b[8m\u2409x\u2421\ufffd");
}

// Failures separated by an answer are not in a row: the download runs to
// its end.
TEST_F(CliTest, ADownloadGivesUpOnlyAfterThreeFailuresInARow)
{
    AddReader("/dev/hidraw0");
    const auto device = m_devices[0];
    device->setFeatureFailures = 4;                              // 01 and 02 fail, each with its retry; 03 is answered
    m_clock.At(30000, [&] { device->setFeatureFailures = 4; });  // during the delay: 04 and 05 fail
    const CliRun run = Run({"run", Script("01;\n02;\n03;\ndelay 60;\n04;\n05;\n06;\n")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(LinesStarting(run.out, "Request"), 6u) << run.out;
    EXPECT_EQ(LinesStarting(run.out, "Response     : Failure"), 4u) << run.out;
    EXPECT_TRUE(run.out.ends_with(RequestLine("06") + "Response     : RC=00, DATA=\n---\n")) << run.out;
    EXPECT_EQ(run.err, "");
}

// Ctrl+C stops a send or a download before its next command goes out, even
// while the reader is being opened; a command under way is completed, and a
// request line is never left without its response.
TEST_F(CliTest, AnInterruptStopsBetweenCommands)
{
    const std::string script = Script("01;\n02;\ndelay 3;\n03;\n");
    const struct {
        std::vector<std::string> arguments;
        uint64_t interruptAtMs;  // the reader settles for 1000 ms, each exchange takes 20
        size_t commandsSent;
    } cases[] = {{{"send", "01"}, 500, 0},   {{"send", "01"}, 1010, 1},  {{"run", script}, 500, 0},
                 {{"run", script}, 1010, 1}, {{"run", script}, 1030, 2}, {{"run", script}, 2000, 2}};
    for (const auto& c : cases) {
        testing::ScriptedClock clock;
        testing::FakeHidHost host;
        const auto device = host.AddReader("/dev/hidraw0", std::make_shared<VirtualReader>(0x0002, clock));
        clock.InterruptAt(c.interruptAtMs);
        const CliRun run = testing::RunCli(host, clock, c.arguments);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(device->featuresSent.size(), c.commandsSent) << c.interruptAtMs;
        EXPECT_EQ(LinesStarting(run.out, "Request"), c.commandsSent) << run.out;
        EXPECT_EQ(LinesStarting(run.out, "Response     : RC=00"), c.commandsSent) << run.out;
        EXPECT_FALSE(Contains(run.out, "---"));
        EXPECT_EQ(run.err, std::string(kStoppedByInterrupt) + "\n");
    }
}

// Each panel given is its own download, in the panels' order, of what its
// Apply sends.
TEST_F(CliTest, SetSendsWhatThePanelsApplySends)
{
    AddReader("/dev/hidraw0");
    PanelSettings tracks12;
    tracks12.m_bTrack1 = tracks12.m_bTrack2 = 1;
    const struct {
        std::vector<std::string> arguments;
        std::vector<std::string> commands;
    } cases[] = {
        {{"set", "--tracks", "1,2"}, BuildTrackSelectionCommands(tracks12)},
        {{"set", "--error-string", "off", "--tracks", "none", "--interface", "keyboard"},
         {"01 10 01", "02", "10 1B 54 00", "10 1B 45 30 30"}},
        {{"set", "--format", "ss-data-es", "--track3-start", "#", "--error-string-sentinel", "on"},
         {"10 1B 46 22", "10 1B 45 31 31"}},
        {{"set", "--format", "user", "--user-mode", "toggle"}, {"10 1B 46 84"}},
        {{"set", "--format", "user", "--user-mode", "toggle", "--no-enter"}, {"10 1B 46 04"}},
        {{"set", "--format", "user", "--position", "end", "--sentinel-track", "2", "--ctrl", "--key", " A "},
         {"10 1B 53 83 01 04"}},
        {{"set", "--format", "user", "--user-mode", "literal", "--sentinel-track", "3", "--literal", "AB"},
         {"10 1B 53 C4 41 42"}},
    };
    for (const auto& c : cases) {
        const CliRun run = Run(c.arguments);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        std::string expected;
        for (const std::string& command : c.commands)
            expected += RequestLine(command);
        std::string sent;
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);)
            if (line.starts_with("Request"))
                sent += line + "\n";
        EXPECT_EQ(sent, expected) << c.arguments[1];
    }
}

TEST_F(CliTest, AllRunsOnEveryReaderAndFailsIfOneFails)
{
    for (const char* path : {"/dev/hidraw0", "/dev/hidraw1", "/dev/hidraw2"})
        AddReader(path);
    m_devices[1]->setFeatureFailures = 1000;
    const CliRun run = Run({"--all", "set", "--tracks", "1,2"});
    EXPECT_EQ(run.exitCode, 1);
    const std::string answered = RequestLine("10 1B 54 03") + "Response     : RC=00, DATA=\n---\n";
    EXPECT_EQ(run.out, "== /dev/hidraw0\n" + answered + "\n== /dev/hidraw1\n" + RequestLine("10 1B 54 03") +
                           "Response     : Failure during transmit\n---\n\n== /dev/hidraw2\n" + answered);
    EXPECT_EQ(m_devices[0]->featuresSent.size(), 1u);
    EXPECT_EQ(m_devices[2]->featuresSent.size(), 1u);
}

TEST_F(CliTest, ListTellsWhatEachInterfaceIsAndWhetherItOpens)
{
    AddReader("/dev/hidraw0", 0x0001);
    m_host.AddDevice("/dev/hidraw1", 0x046D, 0xC31C, testing::VendorDescriptor(8, 0));
    const auto denied = m_host.AddDevice("/dev/hidraw2", 0x0801, 0x0003, testing::VendorDescriptor(8, 8));
    denied->readWriteOpenError = denied->queryOpenError = EACCES;
    m_host.AddDevice("/dev/hidraw3", 0x1136, 0x3001, {0x09, 0x01, 0x81, 0x02})->idsListed = false;
    m_host.AddDevice("/dev/hidraw4", 0x1136, 0x0002, testing::VendorDescriptor(600, 8));

    CliRun run = Run({"list"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out,
              "/dev/hidraw0  0801:0001  supported reader, keyboard mode, can be opened\n"
              "/dev/hidraw1  046d:c31c  not a supported reader, can be opened\n"
              "/dev/hidraw2  0801:0003  supported reader, HID mode, cannot be opened: " +
                  std::string(kAccessDeniedAdvice) +
                  "\n/dev/hidraw3  1136:3001  supported reader, HID mode, can be opened\n"
                  "/dev/hidraw4  1136:0002  supported reader, HID mode, can be opened\n");
    run = Run({"list", "--verbose"});
    EXPECT_TRUE(Contains(run.out,
                         "046d:c31c  not a supported reader, can be opened, report lengths: input 9, "
                         "output 0, feature 0\n"));
    EXPECT_TRUE(Contains(run.out, "3001  supported reader, HID mode, can be opened, report descriptor refused: "));
    EXPECT_TRUE(Contains(run.out, "feature 9, Reader found, but it is not supported (input report of 601 bytes"));
    run = Run({"list", "--device", "/dev/hidraw7"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "/dev/hidraw7" + std::string(kNotListed) + "\n");
}

// The card record a swipe of the virtual reader decodes into.
CardData Decoded(const CardSwipe& swipe)
{
    CardData card;
    uint32_t* statuses[] = {&card.Tk1DcdSts, &card.Tk2DcdSts, &card.Tk3DcdSts};
    uint32_t* lengths[] = {&card.Tk1Len, &card.Tk2Len, &card.Tk3Len};
    std::string* texts[] = {&card.Track1Text, &card.Track2Text, &card.Track3Text};
    for (size_t i = 0; i < 3; ++i) {
        *statuses[i] = swipe.unreadable[i] ? 1 : 0;
        *texts[i] = swipe.unreadable[i] ? std::string() : swipe.tracks[i];
        *lengths[i] = static_cast<uint32_t>(texts[i]->size());
    }
    card.CrdEcdTyp = swipe.encodeType;
    card.CardSts = swipe.direction == SwipeDirection::Insert ? 1 : 0;
    return card;
}

// Found, read, unplugged, found again and read, until Ctrl+C.
TEST_F(CliTest, WatchWritesEachSwipeAsTheWindowsCardText)
{
    const auto reader = AddReader("/dev/hidraw0", 0x0003);
    CardSwipe first = SampleCards()[0].swipe;
    CardSwipe second = SampleCards()[2].swipe;
    second.direction = SwipeDirection::Insert;
    m_clock.At(2000, [&] { reader->Swipe(first); });
    m_clock.At(3000, [&] { reader->Unplug(); });
    m_clock.At(4000, [&] { reader->PlugIn(); });
    m_clock.At(7000, [&] { reader->Swipe(second); });
    m_clock.InterruptAt(9000);

    const CliRun run = Run({"watch"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out,
              CardTextForShell(Decoded(first), 0x0003) + "\n" + CardTextForShell(Decoded(second), 0x0003) + "\n");
    const std::string reading = std::string(kReadingSwipesFrom) + "/dev/hidraw0 (0801:0003)\n";
    EXPECT_EQ(run.err, reading + std::string(kStatusAttachDevice) + "\n" + reading);
}

// Card data cannot forge lines: its CR and LF are shown as pictures too.
TEST_F(CliTest, WatchShowsLineBreaksInCardDataAsPictures)
{
    const auto reader = AddReader("/dev/hidraw0");
    CardSwipe swipe;
    swipe.tracks = {"%B\r\nTrack 2 = ;4111111111111111=2512?\n\r", ";123?", ""};
    m_clock.At(2000, [&] { reader->Swipe(swipe); });
    m_clock.InterruptAt(3000);
    const CliRun run = Run({"watch"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(LinesStarting(run.out, "Track 2 ="), 1u) << run.out;
    EXPECT_TRUE(Contains(run.out, "Track 1 = %B\u240d\u240aTrack 2 = ;4111111111111111=2512?\u240a\u240d\n"));
}

TEST_F(CliTest, WatchJsonHasTheKeysOfTheModelAndEveryByte)
{
    const std::vector<std::string> common = {"path", "vendor_id", "product_id", "encode_type"};
    const std::vector<std::string> seal = {"seal_status", "seal_data", "serial_number", "sequence_counter"};
    CardSwipe swipe;
    swipe.tracks = {std::string("%A\0\xE9\x1B?", 6), ";123?", ""};
    swipe.unreadable = {false, true, false};
    swipe.encodeType = 1;
    swipe.direction = SwipeDirection::Insert;
    for (const uint16_t productId : {0x0002, 0x0003, 0x0009}) {
        testing::ScriptedClock clock;
        testing::FakeHidHost host;
        auto reader = std::make_shared<VirtualReader>(productId, clock);
        host.AddReader("/dev/hidraw5", reader);
        clock.At(2000, [&] { reader->Swipe(swipe); });
        clock.InterruptAt(3000);
        const CliRun run = testing::RunCli(host, clock, {"watch", "--json"});
        ASSERT_EQ(run.exitCode, 0);
        EXPECT_TRUE(std::ranges::all_of(run.out, [](char c) { return c > 0; })) << "ASCII only: " << run.out;

        const auto json = nlohmann::ordered_json::parse(run.out);
        std::vector<std::string> keys;
        for (const auto& item : json.items())
            keys.push_back(item.key());
        std::vector<std::string> expected = common;
        if (productId == 0x0003)
            expected.push_back("direction");
        expected.push_back("tracks");
        if (productId == 0x0009)
            expected.insert(expected.end(), seal.begin(), seal.end());
        EXPECT_EQ(keys, expected);
        EXPECT_EQ(json["path"], "/dev/hidraw5");
        EXPECT_EQ(json["vendor_id"], 0x0801);
        EXPECT_EQ(json["product_id"], productId);
        EXPECT_EQ(json["encode_type"], "AAMVA");
        EXPECT_EQ(json.value("direction", "Insert"), "Insert");
        EXPECT_EQ(json["tracks"], nlohmann::ordered_json::parse(R"([{"ok": true, "data": "%A\u0000\u00e9\u001b?"},
                                                                     {"ok": false, "data": ""},
                                                                     {"ok": true, "data": ""}])"));
        if (productId == 0x0009) {
            EXPECT_EQ(json["seal_status"], 0);
            EXPECT_TRUE(std::regex_match(json["seal_data"].get<std::string>(), std::regex("[0-9A-F]{48}")));
            EXPECT_EQ(json["serial_number"], "VIRTUAL00000001");
            EXPECT_EQ(json["sequence_counter"], 1);
        }
    }
}

// A track that did not decode has no data in JSON, whatever the record holds.
TEST(SwipeJsonTest, AnUndecodedTrackHasNoData)
{
    CardData card;
    card.Track1Text = card.Track2Text = card.Track3Text = "%B123?";
    card.Tk1DcdSts = 1;
    card.Tk2DcdSts = 2;
    card.Tk3DcdSts = 3;
    const auto json = nlohmann::json::parse(SwipeJson(card, "/dev/hidraw0", 0x0801, 0x0002));
    EXPECT_EQ(json["tracks"], nlohmann::json::parse(R"([{"ok": false, "data": ""}, {"ok": true, "data": "%B123?"},
                                                         {"ok": false, "data": ""}])"));
}

}  // namespace
}  // namespace corvalt
