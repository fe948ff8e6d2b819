// corvalt-cli over the real hidraw host, against umockdev's emulated nodes.
#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

#include "rules/window_texts.h"
#include "carddata/card_usages.h"
#include "cli/cli_texts.h"
#include "console/console_texts.h"
#include "reader/reader_connection.h"
#include "recording/replayed_reader_host.h"
#include "tests/support/fake_hid_host.h"
#include "tests/cli/cli_run.h"
#include "tests/platform/mock_hidraw.h"
#include "virtualreader/input_report_layout.h"

namespace corvalt {
namespace {

using testing::Bytes;
using testing::CliRun;
using testing::MockNode;

class CliHidrawTest : public testing::MockHidrawTest {
protected:
    CliHidrawTest() : m_node(Add(0))
    {
        testing::Set(m_node, [this](MockNode& node) {
            node.descriptor = m_layout.Descriptor();
            node.features[0] = {0x00, 0x00, 0x01, 0xAB};  // RC=00, one data byte
        });
    }
    CliRun Run(const std::vector<std::string>& arguments) { return testing::RunCli(m_host, m_clock, arguments); }

    InputReportLayout m_layout{ReaderCardFields(0x0002)};
    MockNode& m_node;
    testing::ScriptedClock m_clock;
};

TEST_F(CliHidrawTest, EachSubCommandReachesTheNode)
{
    const std::string script = ::testing::TempDir() + "cli_hidraw_script.txt";
    std::ofstream(script) << "02;\n";
    const std::string answer = "Response     : RC=00, DATA= AB\n";
    const struct {
        std::vector<std::string> arguments;
        std::string out;
        Bytes lastSent;  // the command report, before its zero padding
    } cases[] = {
        {{"list", "--verbose"},
         "/dev/hidraw0  0801:0002  supported reader, HID mode, can be opened, report lengths: input " +
             std::to_string(m_layout.ReportLength()) + ", output 0, feature 64\n",
         {}},
        {{"send", "01 10 00"}, testing::RequestLine("01 10 00") + answer, {0x00, 0x01, 0x02, 0x10, 0x00}},
        {{"run", script}, "02;\n\n" + testing::RequestLine("02") + answer + "---\n", {0x00, 0x02, 0x00}},
        {{"--device", "/dev/hidraw0", "set", "--tracks", "1,2"},
         testing::RequestLine("10 1B 54 03") + answer + "---\n",
         {0x00, 0x10, 0x03, 0x1B, 0x54, 0x03}},
    };
    for (const auto& c : cases) {
        testing::Set(m_node, [](MockNode& node) { node.featuresSet.clear(); });
        const CliRun run = Run(c.arguments);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, c.out);
        const std::vector<Bytes> sent = testing::Get(m_node, [](MockNode& node) { return node.featuresSet; });
        ASSERT_EQ(sent.size(), c.lastSent.empty() ? 0u : 1u) << c.arguments[0];
        if (!sent.empty()) {
            EXPECT_EQ(sent[0].size(), 64u);
            EXPECT_EQ(Bytes(sent[0].begin(), sent[0].begin() + static_cast<long>(c.lastSent.size())), c.lastSent);
        }
    }
}

TEST_F(CliHidrawTest, WatchReadsTheNodesReports)
{
    const Bytes report = InputReportBuilder(m_layout)
                             .Set(kTrackLengthUsages[1], 5)
                             .Set(kTrackDataUsages[1], ";123?")
                             .Set(kTrackDecodeStatusUsages[2], 1);
    // The node hands the report over without the id byte its descriptor
    // does not declare.
    testing::Set(m_node, [&](MockNode& node) {
        node.reads.emplace_back(report.size() - 1, Bytes(report.begin() + 1, report.end()));
    });
    m_clock.InterruptAt(3000);
    const CliRun run = Run({"watch", "--json"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(
        run.out,
        R"({"time":"2026-03-14T09:26:55.289Z","path":"/dev/hidraw0","vendor_id":2049,"product_id":2,"encode_type":"ISO","tracks":[)"
        R"({"ok":true,"data":""},{"ok":true,"data":";123?"},{"ok":false,"data":""}]})"
        "\n");
}

// A recording of the node, replayed through --replay, decodes into the
// same swipes.
TEST_F(CliHidrawTest, ARecordingReplaysTheSameSwipes)
{
    for (const std::string track : {";123?", ";4567?"}) {
        const Bytes report = InputReportBuilder(m_layout)
                                 .Set(kTrackLengthUsages[1], static_cast<uint32_t>(track.size()))
                                 .Set(kTrackDataUsages[1], track);
        testing::Set(m_node, [&](MockNode& node) {
            node.reads.emplace_back(report.size() - 1, Bytes(report.begin() + 1, report.end()));
        });
    }
    const std::string file = ::testing::TempDir() + "cli_hidraw_recording.txt";
    CliRun run = Run({"record", "--count", "2", file});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    testing::FakeHidHost noDevices;
    testing::ScriptedClock clock;
    run = testing::RunCli(noDevices, clock, {"--replay", file, "watch", "--json", "--count", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> tracks2;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        const auto json = nlohmann::json::parse(line);
        EXPECT_EQ(json["path"], kReplayedReaderPath);
        EXPECT_EQ(json["product_id"], 0x0002);
        tracks2.push_back(json["tracks"][1]["data"]);
    }
    EXPECT_EQ(tracks2, (std::vector<std::string>{";123?", ";4567?"}));
}

// hidraw hands over at most 4095 bytes of a descriptor: a reader with a
// longer one is found but cannot be driven, and both faces say so.
TEST_F(CliHidrawTest, AReaderWithADescriptorTooLongToReadIsNotSupported)
{
    const struct {
        Bytes descriptor;
        std::optional<int> declared;
        std::string reason;
    } cases[] = {
        {Bytes(4096, 0x00), std::nullopt, "report descriptor of 4096 bytes, at most 4095"},
        {Bytes(16, 0x00), 100000, "report descriptor of 100000 bytes, at most 4095"},
    };
    for (const auto& c : cases) {
        testing::Set(m_node, [&](MockNode& node) {
            node.descriptor = c.descriptor;
            node.descriptorSize = c.declared;
        });
        const std::string unsupported = UnsupportedReaderText(c.reason);
        CliRun run = Run({"send", "02"});
        EXPECT_EQ(run.exitCode, 1);
        const std::string prefix(kErrorPrefix);
        EXPECT_EQ(run.err, prefix + std::string(kAttachDevice) + "\n" + prefix + unsupported + "\n");
        m_clock.InterruptAt(m_clock.NowMs() + 2000);
        run = Run({"watch"});
        EXPECT_EQ(run.err, prefix + std::string(kStatusPrefix) + unsupported + "\n");
    }
    EXPECT_TRUE(testing::Get(m_node, [](MockNode& node) { return node.featuresSet.empty(); }));
}

}  // namespace
}  // namespace corvalt

int main(int argc, char** argv)
{
    return corvalt::testing::RunUnderUmockdev(argc, argv);
}
