// The command line: what each kind of argument list leads to, and the
// installed binary's answers on a machine without a display (see
// CMakeLists.txt).
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <fstream>

#include "app/app_identity.h"

namespace corvalt {
namespace {

struct LineCase {
    const char* name;
    QStringList arguments;  // after the program name
    bool exitNow;
    int exitCode;
    const char* messageStart;  // what the message begins with
};

class CommandLineTest : public ::testing::TestWithParam<LineCase> {
protected:
    void SetUp() override { SetApplicationIdentity(); }
};

TEST_P(CommandLineTest, LeadsToItsExit)
{
    const LineCase& param = GetParam();
    const CommandLine line = ParseCommandLine(QStringList{QStringLiteral("corvalt")} + param.arguments);
    EXPECT_EQ(line.exitNow, param.exitNow);
    EXPECT_EQ(line.exitCode, param.exitCode);
    const QString start = QString::fromUtf8(param.messageStart);
    EXPECT_EQ(line.message.left(start.size()), start) << line.message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineTest,
    ::testing::Values(
        LineCase{"None", {}, false, 0, ""},
        LineCase{"HelpAll", {"--help-all"}, true, kExitUsage, "Unknown option 'help-all'."},
        LineCase{"Version", {"--version"}, true, 0, "Corvalt 1.0.0.1\n"},
        LineCase{"ShortVersion", {"-v"}, true, 0, "Corvalt 1.0.0.1\n"},
        LineCase{"Help", {"--help"}, true, 0, "Usage: "}, LineCase{"ShortHelp", {"-h"}, true, 0, "Usage: "},
        // A wrong option wins over --help: the user learns what was wrong.
        LineCase{"UnknownOption", {"--help", "--frobnicate"}, true, kExitUsage, "Unknown option 'frobnicate'."},
        LineCase{"ValueForVersion", {"--version=2"}, true, kExitUsage, "Unexpected value after '--version'."},
        LineCase{"Positional", {"/dev/hidraw0"}, true, kExitUsage, "Unexpected argument '/dev/hidraw0'."},
        LineCase{"VirtualReader", {"--virtual-reader"}, false, 0, ""},
        LineCase{"VirtualReaderOfNoModel",
                 {"--virtual-reader=0x3003"},
                 true,
                 kExitUsage,
                 "Unknown product id '0x3003' for --virtual-reader: use 0x0002 (the default)"},
        LineCase{"VirtualReaderNotHex", {"--virtual-reader=two"}, true, kExitUsage, "Unknown product id 'two'"},
        LineCase{"VirtualReaderThenVersion", {"--virtual-reader", "-v"}, true, 0, "Corvalt 1.0.0.1\n"},
        LineCase{"VirtualReaderWordNotHex", {"--virtual-reader", "two"}, true, kExitUsage, "Unknown product id 'two'"},
        LineCase{"VirtualReaderNegative", {"--virtual-reader", "-1"}, true, kExitUsage, "Unknown product id '-1'"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLineVirtualReader, TakesTheProductIdOrTheDefault)
{
    const std::pair<QStringList, uint16_t> cases[] = {
        {{}, 0},
        {{"--virtual-reader"}, 0x0002},
        {{"--virtual-reader=0x3001"}, 0x3001},
        {{"--virtual-reader=9"}, 0x0009},
        {{"--virtual-reader=0X0001"}, 0x0001},
        {{"--virtual-reader", "0x0009"}, 0x0009},
    };
    for (const auto& [arguments, productId] : cases) {
        const CommandLine line = ParseCommandLine(QStringList{QStringLiteral("corvalt")} + arguments);
        EXPECT_FALSE(line.exitNow) << line.message.toStdString();
        EXPECT_EQ(line.virtualReaderProductId, productId) << arguments.join(' ').toStdString();
    }
}

// --replay reads its recording while the line is parsed, before any window:
// a recording that cannot be replayed is one line with the file and the
// line where it goes wrong.
TEST(CommandLineReplay, ReadsTheRecordingOrRefusesIt)
{
    SetApplicationIdentity();
    const auto file = [](const char* name, const char* text) {
        const std::string path = ::testing::TempDir() + name;
        std::ofstream(path) << text;
        return QString::fromStdString(path);
    };
    const QString good = file("command_line_good.hid",
                              "I: 3 0801 0002\nR: 21 06 00 ff 09 01 a1 01 15 00 26 ff 00 75 08 95 04 09 20 81 02 c0\n"
                              "E: 0.000000 4 3b 31 3f 00\n");
    const QString bad = file("command_line_bad.hid", "I: 3 0801 0002\nR: 2 a1\n");
    const auto parse = [](const QStringList& arguments) {
        return ParseCommandLine(QStringList{QStringLiteral("corvalt")} + arguments);
    };

    const CommandLine read = parse({"--replay", good});
    EXPECT_FALSE(read.exitNow) << read.message.toStdString();
    ASSERT_TRUE(read.replay.has_value());
    EXPECT_EQ(read.replay->reports.size(), 1u);
    EXPECT_EQ(read.replayFile, good);

    const CommandLine refused = parse({"--replay", bad});
    EXPECT_TRUE(refused.exitNow);
    EXPECT_EQ(refused.exitCode, kExitUsage);
    EXPECT_EQ(refused.message, "corvalt: Cannot replay \"" + bad +
                                   "\", line 2: report descriptor: 1 bytes where "
                                   "the length says 2\n");

    // One simulated reader at a time, as corvalt-cli takes them.
    const CommandLine both = parse({"--replay", good, "--virtual-reader"});
    EXPECT_EQ(both.exitCode, kExitUsage);
    EXPECT_TRUE(both.message.startsWith("--replay excludes --virtual-reader.\n")) << both.message.toStdString();
}

TEST(CommandLineUsage, AWrongLineShowsTheUsage)
{
    SetApplicationIdentity();
    const CommandLine line = ParseCommandLine({QStringLiteral("corvalt"), QStringLiteral("--frobnicate")});
    // The usage names the program as it was started.
    EXPECT_TRUE(
        line.message.contains(QStringLiteral("Usage: %1 [options]").arg(QCoreApplication::arguments().first())));
    EXPECT_TRUE(line.message.contains(QStringLiteral("--version")));
    // Its value may be left out.
    EXPECT_TRUE(line.message.contains(QStringLiteral("--virtual-reader [PRODUCT_ID]")));
    // Qt's own options are not taken before the window's application exists.
    EXPECT_FALSE(line.message.contains(QStringLiteral("--help-all")));
}

}  // namespace
}  // namespace corvalt
