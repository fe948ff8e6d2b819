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
#include "cli/utc_time.h"
#include "config/interface_commands.h"
#include "rules/window_texts.h"
#include "console/console_texts.h"
#include "console/script_file.h"
#include "tests/cli/cli_run.h"
#include "tests/support/descriptors.h"
#include "tests/support/fake_hid_host.h"
#include "virtualreader/card_swipe_builder.h"
#include "virtualreader/sample_cards.h"
#include "virtualreader/virtual_reader_host.h"

namespace corvalt {
namespace {

using testing::CliRun;
using testing::LinesStarting;
using testing::RequestLine;

::testing::AssertionResult Contains(const std::string& text, const std::string& part)
{
    if (text.find(part) != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << part << "\" is not in:\n" << text;
}

// Lines as corvalt-cli writes them to standard error: each with its name.
std::string Err(std::string_view lines)
{
    std::string text;
    std::istringstream in{std::string(lines)};
    for (std::string line; std::getline(in, line);)
        text += std::string(kErrorPrefix) + line + "\n";
    return text;
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
    CliRun Run(const std::vector<std::string>& arguments, const std::string& input = "")
    {
        return testing::RunCli(m_host, m_clock, arguments, input);
    }
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
        {{"--virtual-reader", "list", "--replay", "x"}, 2, "", "--replay excludes --virtual-reader"},
        {{"set"}, 2, "", "set needs the options of at least one panel"},
        {{"set", "--tracks", "1", "--ctrl"}, 2, "", "--ctrl is a choice of the data format panel"},
        {{"set", "--format", "user", "--enter", "--no-enter"}, 2, "", "--enter excludes --no-enter"},
        {{"record"}, 2, "", "FILE is required"},
        {{"--all", "record", "x"}, 2, "", "--all is taken by send, run and set, not by record"},
        {{"set", "--tracks", "4"}, 2, "", "--tracks: '4' is not a list of tracks"},
        {{"set", "--format", "user", "--key", "a"}, 2, "", "--key 'a' names no key"},
        {{"--virtual-reader=0x3003", "list"}, 2, "", "--virtual-reader: '0x3003' is none of"},
        {{"--virtual-reader", "0x0003", "list"}, 2, "", "The following argument was not expected: 0x0003"},
        {{"send", "01", "1"}, 2, "", "'1' has an odd number of hex digits"},
        {{"send", "0x101"}, 2, "", "'0x101' has an odd number of hex digits"},
        {{"send", "01 1g"}, 2, "", "'1g' is not a hexadecimal word"},
        {{"send", "0x"}, 2, "", "'0x' is not a hexadecimal word"},
        {{"send", ""}, 2, "", "send needs a command"},
        {{"send", "delay", "5"}, 2, "", "A delay is a line of a script"},
        {{"send", "--raw", "01"}, 2, "", "--raw: the length byte must follow the command byte"},
        {{"--device", "", "send", "02"}, 2, "", "--device: an empty path names no device"},
        // An empty value after '=' is that value, not the next word.
        {{"--device=", "--all", "send", "02"}, 2, "", "--device: an empty path names no device"},
        {{"--device=", "send", "02"}, 2, "", "--device: an empty path names no device"},
        {{"--match=", "list"}, 2, "", "--match: '' is not VID:PID"},
    };
    for (const UsageCase& c : cases) {
        const CliRun run = Run(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_EQ(run.out.substr(0, c.outStart.size()), c.outStart);
        const std::string errStart = c.errStart.empty() ? "" : std::string(kErrorPrefix) + c.errStart;
        EXPECT_EQ(run.err.substr(0, errStart.size()), errStart);
    }
    EXPECT_TRUE(m_devices[0]->featuresSent.empty());

    // A sub-command's help names the global options too, and no option's
    // name has a note glued to it.
    for (const std::string subCommand : {"list", "watch", "send", "run", "record", "set"}) {
        const CliRun help = Run({subCommand, "--help"});
        EXPECT_TRUE(Contains(help.out, "Global options")) << subCommand;
        EXPECT_TRUE(Contains(help.out, "--device PATH")) << subCommand;
        EXPECT_FALSE(Contains(help.out, "Excludes")) << subCommand;
        EXPECT_FALSE(Contains(help.out, ":POSITIVE")) << subCommand;
    }
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
        {{"send", "0x01", "0X10 00"}, 0, 0, answered, ""},
        {{"send", "01 10", "0x00"}, 0, 0, answered, ""},
        {{"send", "--raw", "01 02", "0a 0b"},
         0,
         0,
         "Request      : CMND=01, DATA= 0A 0B\nResponse     : RC=00, DATA=\n",
         ""},
        {{"send", "--raw", "01 05", "AA BB"},
         0,
         0,
         "Request      : CMND=01, DATA= AA BB 00 00 00\nResponse     : RC=00, DATA=\n",
         ""},
        {{"send", "01", std::string(62 * 2, 'A')},
         0,
         1,
         "",
         Err("Data portion of message can't be longer than 61  bytes")},
        {{"send", "02"}, 2, 1, "Request      : CMND=02, DATA=\nResponse     : Failure during transmit\n", ""},
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

// --device: a node that is no reader ends every sub-command at once, a
// missing one every sub-command but watch; each message line names the
// program.
TEST_F(CliTest, ErrorLinesNameTheProgramAndTheDevice)
{
    AddReader("/dev/hidraw0");
    m_host.AddDevice("/dev/hidraw1", 0x046D, 0xC52B, testing::VendorDescriptor(8, 0));
    AddReader("/dev/hidraw2");
    m_devices.back()->readWriteOpenError = m_devices.back()->queryOpenError = EACCES;
    const std::string notAReader = Err("/dev/hidraw1 (046d:c52b) is not a supported reader");
    const std::string missing = Err("/dev/hidraw9: no such device");
    const std::string refusedDescriptor = ::testing::TempDir() + "cli_test_refused.txt";
    std::ofstream(refusedDescriptor) << "I: 3 0801 0002\nR: 1 c0\n";
    const std::string shortDescriptor = ::testing::TempDir() + "cli_test_short.txt";
    std::ofstream(shortDescriptor) << "# short\nR: 2 a1\nI: 3 0801 0002\n";
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        std::string err;
    } cases[] = {
        {{"--device", "/dev/hidraw1", "send", "02"}, 1, notAReader},
        {{"--device", "/dev/hidraw1", "watch"}, 1, notAReader},
        {{"--device", "/dev/hidraw9", "send", "02"}, 1, missing},
        {{"--device", "/dev/hidraw9", "run", "-"}, 1, missing},
        {{"--device", "/dev/hidraw9", "set", "--tracks", "1"}, 1, missing},
        {{"--device", "/dev/hidraw9", "watch"}, 0, Err("waiting for a reader to appear at /dev/hidraw9")},
        {{"--replay", refusedDescriptor, "send", "02"},
         1,
         Err("Cannot replay \"" + refusedDescriptor +
             "\", its report descriptor is refused: report descriptor "
             "item 1: ")},
        {{"--replay", shortDescriptor, "send", "02"},
         1,
         Err("Cannot replay \"" + shortDescriptor + "\", line 2: report descriptor: 1 bytes where the length says 2")},
        {{"--device", "/dev/hidraw2", "send", "02"},
         1,
         Err(std::string(kAttachDevice) + "\n" + std::string(kAccessDeniedAdvice))},
    };
    for (const auto& c : cases) {
        if (c.arguments[2] == "watch")
            m_clock.InterruptAt(m_clock.NowMs() + 3000);
        const CliRun run = Run(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments[1] << " " << c.arguments[2];
        EXPECT_EQ(run.err.substr(0, c.err.size() - 1), c.err.substr(0, c.err.size() - 1));
        EXPECT_EQ(run.out, "");
    }
    for (const auto& device : m_devices)
        EXPECT_TRUE(device->featuresSent.empty());
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
    EXPECT_EQ(run.err, Err(kStatusNoCommandsFound));
    run = Run({"run", "/nonexistent/script.txt"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Contains(run.err, "/nonexistent/script.txt"));
}

// run -: the script from standard input, read once for every reader.
TEST_F(CliTest, RunTakesTheScriptFromStandardInput)
{
    AddReader("/dev/hidraw0");
    AddReader("/dev/hidraw1");
    const std::string answered = RequestLine("01 10 00") + "Response     : RC=00, DATA=\n---\n";
    const struct {
        std::vector<std::string> arguments;
        std::string input;
        int exitCode;
        std::string out, err;
    } cases[] = {
        {{"run", "-"}, "; HID\n01 10 00;\n", 0, "; HID\n01 10 00;\n\n" + answered, ""},
        {{"--all", "run", "-"},
         "01 10 00;",
         0,
         "== /dev/hidraw0\n01 10 00;\n\n" + answered + "\n== /dev/hidraw1\n01 10 00;\n\n" + answered,
         ""},
        {{"run", "-"}, "", 1, "", Err(kStatusNoCommandsFound)},
        {{"run", "-"},
         std::string(kScriptFileLimit + 1, ';'),
         1,
         "",
         Err("Cannot read \"standard input\": A script file may hold at most 1 MiB (1048576 bytes)")},
    };
    for (const auto& c : cases) {
        const CliRun run = Run(c.arguments, c.input);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
    }
    EXPECT_EQ(m_devices[0]->featuresSent.size(), 2u);
    EXPECT_EQ(m_devices[1]->featuresSent.size(), 1u);
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

    // So is a file's name in a message, as a file system hands it out.
    const CliRun missing = Run({"run", "/nonexistent/\x1b[2J\x1b]0;retitled\x07.txt"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(Contains(missing.err, "\"/nonexistent/\u241b[2J\u241b]0;retitled\u2407.txt\": ")) << missing.err;
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
        EXPECT_EQ(run.err, Err(kStoppedByInterrupt));
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
    EXPECT_EQ(run.err, Err("/dev/hidraw7" + std::string(kNotListed)));
}

// The listing as JSON and as text, whole or narrowed down by ids.
TEST_F(CliTest, ListJsonParsesBackAndMatchPicksByIds)
{
    AddReader("/dev/hidraw0", 0x0001);
    m_devices[0]->name = "Reader\x1B[2J\xFF";
    m_host.AddDevice("/dev/hidraw1", 0x046D, 0xC52B, testing::VendorDescriptor(8, 0))->name = "Mouse";
    const auto denied = m_host.AddDevice("/dev/hidraw2", 0x0801, 0x0003, testing::VendorDescriptor(600, 8));
    denied->readWriteOpenError = EACCES;
    m_host.AddDevice("/dev/hidraw3", 0x1136, 0x3001, {0x09, 0x01, 0x81, 0x02})->idsListed = false;

    CliRun run = Run({"list", "--json", "--verbose"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto json = nlohmann::ordered_json::parse(run.out);
    ASSERT_EQ(json.size(), 4u);
    EXPECT_EQ(json[0], nlohmann::ordered_json::parse(R"({"path": "/dev/hidraw0", "vendor_id": 2049, "product_id": 1,
        "name": "Reader\u001b[2J\ufffd", "supported": true, "mode": "keyboard", "access": "read-write",
        "input_report_length": 0, "output_report_length": 0, "feature_report_length": 64, "refused": null})"));
    EXPECT_EQ(json[1]["supported"], false);
    EXPECT_EQ(json[1]["mode"], nullptr);
    EXPECT_EQ(json[2]["access"], "query-only");
    EXPECT_EQ(json[2]["mode"], "hid");
    EXPECT_TRUE(Contains(json[2]["refused"], "input report of 601 bytes"));
    EXPECT_EQ(json[3]["product_id"], 0x3001);
    EXPECT_TRUE(Contains(json[3]["refused"], std::string(kDescriptorRefused)));

    run = Run({"list"});
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
              "/dev/hidraw0  0801:0001  Reader\u241B[2J\uFFFD  supported reader, keyboard mode, can be opened");

    const struct {
        std::string match;
        std::vector<std::string> paths;
    } cases[] = {
        {"0801:*", {"/dev/hidraw0", "/dev/hidraw2"}},
        {"0x046d:C52B", {"/dev/hidraw1"}},
        {"*:3001", {"/dev/hidraw3"}},
        {"*:*", {"/dev/hidraw0", "/dev/hidraw1", "/dev/hidraw2", "/dev/hidraw3"}},
        {"1136:0002", {}},
    };
    for (const auto& c : cases) {
        run = Run({"list", "--json", "--match", c.match});
        std::vector<std::string> paths;
        for (const auto& item : nlohmann::ordered_json::parse(run.out))
            paths.push_back(item["path"]);
        EXPECT_EQ(paths, c.paths) << c.match;
    }
    AddReader("/dev/hidraw4", 0x0002);
    run = Run({"--match", "0801:0002", "send", "02"});
    EXPECT_EQ(m_devices[0]->featuresSent.size(), 0u);
    EXPECT_EQ(m_devices[1]->featuresSent.size(), 1u) << run.err;
    for (const std::string bad : {"0801", "0801:", "12345:1", "08g1:2", ":*"}) {
        run = Run({"list", "--match", bad});
        EXPECT_EQ(run.exitCode, 2) << bad;
    }
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
    EXPECT_EQ(run.err, Err(reading + std::string(kStatusAttachDevice) + "\n" + reading));
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
    const std::vector<std::string> common = {"time", "path", "vendor_id", "product_id", "encode_type"};
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
        EXPECT_EQ(json["time"], "2026-03-14T09:26:55.889Z");  // read 2300 ms after the start
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
    const auto json =
        nlohmann::json::parse(SwipeJson(card, "2026-03-14T09:26:53.589Z", "/dev/hidraw0", 0x0801, 0x0002));
    EXPECT_EQ(json["tracks"], nlohmann::json::parse(R"([{"ok": false, "data": ""}, {"ok": true, "data": "%B123?"},
                                                         {"ok": false, "data": ""}])"));
}

}  // namespace
}  // namespace corvalt

namespace corvalt {
namespace {

// --count ends the watch when its swipes are written, --timeout when the
// time is up: a failure only when a count was asked for and not reached.
TEST_F(CliTest, WatchEndsAfterItsCountOrItsTime)
{
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        size_t swipes;
    } cases[] = {
        {{"watch", "--count", "2"}, 0, 2},
        {{"watch", "--json", "--count", "1", "--timeout", "60"}, 0, 1},
        {{"watch", "--count", "5", "--timeout", "10"}, 1, 3},
        {{"watch", "--timeout", "2.4"}, 0, 1},
        {{"watch", "--timeout", "9"}, 0, 3},
        {{"watch", "--count", "0"}, 2, 0},
        {{"watch", "--timeout", "-1"}, 2, 0},
    };
    for (const auto& c : cases) {
        testing::ScriptedClock clock;
        testing::FakeHidHost host;
        auto reader = std::make_shared<VirtualReader>(0x0002, clock);
        host.AddReader("/dev/hidraw0", reader);
        for (const uint64_t at : {2000, 2500, 3000})
            clock.At(at, [&] { reader->Swipe(SampleCards()[0].swipe); });
        clock.InterruptAt(60000);
        const CliRun run = testing::RunCli(host, clock, c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        const std::string each = c.arguments[1] == "--json" ? "{" : "Track 1";
        EXPECT_EQ(LinesStarting(run.out, each), c.swipes) << c.arguments[1] << c.arguments[2] << "\n" << run.out;
        EXPECT_LT(clock.NowMs(), 60000u);
    }
}

TEST(UtcTimeTest, StampsAsRfc3339WithMilliseconds)
{
    using std::chrono::milliseconds;
    const struct {
        int64_t ms;
        std::string text;
    } cases[] = {
        {0, "1970-01-01T00:00:00.000Z"},
        {951782400999, "2000-02-29T00:00:00.999Z"},
        {1773480413589, "2026-03-14T09:26:53.589Z"},
        {-1, "1969-12-31T23:59:59.999Z"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Rfc3339Utc(std::chrono::system_clock::time_point(milliseconds(c.ms))), c.text);
}

// watch --virtual-reader in a pipeline: each line of standard input is a
// swipe, built as the Virtual Reader window builds the one it swipes.
TEST_F(CliTest, WatchSwipesTheVirtualReaderFromStandardInput)
{
    const auto withoutTime = [](const std::string& line) {
        auto json = nlohmann::ordered_json::parse(line);
        json.erase("time");
        return json;
    };
    const std::string financial = "%B4111111111111111^TEST/CARD^2512?|;4111111111111111=2512?|";
    const struct {
        std::vector<std::string> options;
        std::string input;
        int exitCode;
        std::vector<std::string> tracks1;  // each swipe's first track, as JSON reads it
        std::string err;
    } cases[] = {
        {{"--count", "1"}, financial + "\n" + financial + "\n", 0, {"%B4111111111111111^TEST/CARD^2512?"}, ""},
        {{}, "\xC3\xA9\xE2\x82\xAC|;1?\r\n||;3?\n", 0, {"\u00e9?", ""}, ""},
        {{"--count", "3"}, "a\nb\n", 1, {"a", "b"}, ""},
        {{}, "a|b\nx|y|z|w\nc\n", 1, {"a"}, "standard input, line 2: a card has three tracks"},
    };
    for (const auto& c : cases) {
        testing::ScriptedClock clock;
        testing::FakeHidHost host;
        std::vector<std::string> arguments = {"--virtual-reader", "watch", "--json"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const CliRun run = testing::RunCli(host, clock, arguments, c.input);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        std::vector<std::string> tracks1;
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);)
            tracks1.push_back(nlohmann::ordered_json::parse(line)["tracks"][0]["data"]);
        EXPECT_EQ(tracks1, c.tracks1) << c.input;
        EXPECT_TRUE(c.err.empty() ? !Contains(run.err, "line") : Contains(run.err, c.err));
    }

    // The same swipe through the window's builder.
    testing::ScriptedClock clock;
    testing::FakeHidHost host;
    auto reader = std::make_shared<VirtualReader>(kDefaultHidProductId, clock);
    host.AddReader(kVirtualReaderPath, reader);
    const SwipeText text{{"%B4111111111111111^TEST/CARD^2512?", ";4111111111111111=2512?", ""}};
    clock.At(2000, [&] { reader->Swipe(BuildCardSwipe(text)); });
    const CliRun window = testing::RunCli(host, clock, {"watch", "--json", "--count", "1"});
    const CliRun piped = Run({"--virtual-reader", "watch", "--json", "--count", "1"}, financial + "\n");
    EXPECT_EQ(withoutTime(piped.out), withoutTime(window.out));
}

}  // namespace
}  // namespace corvalt
