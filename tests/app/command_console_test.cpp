// The command console in the main window, headless, against a simulated
// reader, a clock that never waits and recorded message boxes: sending,
// scripts and the download with its delays.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>

#include "console/console_texts.h"
#include "app/config_controls.h"
#include "app/corvalt_dlg.h"
#include "rules/dialog_template.h"
#include "tests/support/descriptors.h"
#include "tests/support/main_window_fixture.h"

namespace corvalt {
namespace {

using testing::MainWindowTest;
using testing::SimulatedDevice;
using testing::VendorDescriptor;
using Texts = std::vector<std::string>;

constexpr const char* kOkReply = "Response     : RC=00, DATA=";

size_t Occurrences(const std::string& text, const std::string& word)
{
    size_t count = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++count;
    return count;
}

class CommandConsoleTest : public MainWindowTest {
public:  // the refusal table arranges its cases through the fixture
    CommandConsoleTest() { Button(kConfigurationCommandId)->click(); }
    ~CommandConsoleTest() override { std::filesystem::remove(scriptPath); }

    // A reader with 64-byte feature reports answering result code 0, no data.
    std::shared_ptr<SimulatedDevice> AddReader(uint16_t featureDataBytes = 63)
    {
        auto device = host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, VendorDescriptor(337, featureDataBytes));
        device->answerFeature = [](const std::vector<uint8_t>&) { return std::vector<uint8_t>{0, 0x00, 0x00}; };
        return device;
    }

    std::string CommandText() const { return dialog.m_strCommandText.toStdString(); }
    std::string Shown() const { return MainWindowTest::Shown().toStdString(); }

    void Send(const char* text)
    {
        Edit(kCommandEditId)->setText(text);
        Button(kSendCommandId)->click();
    }
    void LoadScript(const std::string& bytes)
    {
        std::ofstream(scriptPath, std::ios::binary) << bytes;
        Edit(kFileEditId)->setText(QString::fromStdString(scriptPath.string()));
        dialog.LoadCommandFile();
    }
    // Runs action at the first moment the window handles its events.
    void AtNextPump(std::function<void()> action) { QTimer::singleShot(0, &dialog, std::move(action)); }

    bool AllConfigControlsEnabled(bool enabled) const
    {
        return std::ranges::all_of(kConfigControlIds, [&](int id) { return Item(id)->isEnabled() == enabled; });
    }

    const std::filesystem::path scriptPath =
        std::filesystem::temp_directory_path() / ("corvalt_console_test_" + std::to_string(::getpid()) + ".txt");
};

TEST_F(CommandConsoleTest, SendWritesTheRequestAndTheResponseLine)
{
    auto device = AddReader();
    Send("01 1 0 00");
    EXPECT_EQ(Edit(kCommandEditId)->text(), "01 10 00");
    EXPECT_EQ(CommandText(), "Request      : CMND=01, DATA= 10 00\r\n" + std::string(kOkReply));
    ASSERT_EQ(device->featuresSent.size(), 1u);
    std::vector<uint8_t> expected(64, 0);
    expected[1] = 0x01, expected[2] = 0x02, expected[3] = 0x10;
    EXPECT_EQ(device->featuresSent[0], expected);
    EXPECT_EQ(dialog.focusWidget(), Item(kCommandEditId));
    EXPECT_TRUE(messageBox.texts.empty());

    // Later lines each start on a new line; the text never ends in one.
    device->answerFeature = [](const std::vector<uint8_t>&) { return std::vector<uint8_t>{0, 0x31, 0x02, 0xAB, 0xCD}; };
    Send("02");
    EXPECT_EQ(Shown(), "Request      : CMND=01, DATA= 10 00\n" + std::string(kOkReply) +
                           "\nRequest      : CMND=02, DATA=\nResponse     : RC=31, DATA= AB CD");
}

struct RefusalCase {
    const char* name;
    const char* text;
    std::function<void(CommandConsoleTest&)> arrange;
    Texts messages;
    bool focusToCommandEdit;
    const char* editAfter;
};

class SendRefusalTest : public CommandConsoleTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(SendRefusalTest, SendsNothingAndSaysWhy)
{
    const RefusalCase& c = GetParam();
    dialog.m_strCommandText = "earlier";
    c.arrange(*this);
    Edit(kCommandEditId)->setText(c.text);
    Item(kTranscriptEditId)->setFocus();
    Button(kSendCommandId)->click();

    EXPECT_EQ(messageBox.texts, c.messages);
    EXPECT_EQ(CommandText(), "earlier");
    EXPECT_EQ(host.CountInLog("set-feature"), 0u);
    EXPECT_EQ(dialog.focusWidget(), Item(c.focusToCommandEdit ? kCommandEditId : kTranscriptEditId));
    EXPECT_EQ(Edit(kCommandEditId)->text(), c.editAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, SendRefusalTest,
    ::testing::Values(
        RefusalCase{"ErrorTextBlocksSending",
                    "02",
                    [](CommandConsoleTest& t) {
                        t.AddReader();
                        t.reader.LastErrorText = "CreateEvent Failed";
                    },
                    {"Fatal Error - CreateEvent Failed"},
                    false,
                    "02"},
        RefusalCase{"NoReader", "zz", [](CommandConsoleTest&) {}, {"Attach device before sending commands"}, false, ""},
        RefusalCase{"ReaderRefused",
                    "02",
                    [](CommandConsoleTest& t) {
                        auto device = t.AddReader();
                        device->readWriteOpenError = device->queryOpenError = EACCES;
                    },
                    {"Attach device before sending commands\n" + std::string(kAccessDeniedAdvice)},
                    false,
                    "02"},
        RefusalCase{"ReaderNotSupported",
                    "02",
                    [](CommandConsoleTest& t) { t.AddReader()->descriptor = VendorDescriptor(337, 64); },
                    {"Attach device before sending commands\nReader found, but it is not supported (feature report "
                     "of 65 bytes, at most 64)"},
                    false,
                    "02"},
        RefusalCase{"NoFeatureReport",
                    "02",
                    [](CommandConsoleTest& t) { t.AddReader(0); },
                    {"Unable to initialize the USB MSR"},
                    true,
                    "02"},
        RefusalCase{"NotACommand", "01 1b", [](CommandConsoleTest& t) { t.AddReader(); }, {}, true, ""},
        RefusalCase{"NoTypedLength",
                    "02",
                    [](CommandConsoleTest& t) {
                        t.AddReader();
                        t.Button(kAutoAddLengthId)->click();
                    },
                    {},
                    true,
                    "02"},
        RefusalCase{"TooMuchData",
                    "01 00 01 02 03",
                    [](CommandConsoleTest& t) { t.AddReader(4); },  // N = 5: two data bytes fit
                    {"Data portion of message can't be longer than 2  bytes"},
                    true,
                    "01 00 01 02 03"},
        // A delay waits only in a script; typed here it is no command bytes.
        RefusalCase{"TypedDelay",
                    "delay 5",
                    [](CommandConsoleTest& t) { t.AddReader(); },
                    {"A delay is a line of a command script, not a command to send"},
                    true,
                    "delay 5"}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

TEST_F(CommandConsoleTest, FailedExchangesAreWrittenAndCloseTheReader)
{
    auto device = AddReader();
    device->setFeatureFailures = 2;
    Send("02");
    EXPECT_EQ(CommandText(), "Request      : CMND=02, DATA=\r\nResponse     : Failure during transmit");
    EXPECT_FALSE(reader.IsOpen());

    device->getFeatureFailures = 1;
    Send("03");
    EXPECT_EQ(CommandText().substr(CommandText().rfind("Request")),
              "Request      : CMND=03, DATA=\r\nResponse     : Failure during receive");
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_TRUE(messageBox.texts.empty());
    EXPECT_EQ(dialog.focusWidget(), Item(kCommandEditId));
}

TEST_F(CommandConsoleTest, TypedLengthIsSentAsTyped)
{
    auto device = AddReader();
    Button(kAutoAddLengthId)->click();
    EXPECT_FALSE(dialog.m_bAutoAddLength);
    Send("01 05 AA BB");
    EXPECT_EQ(CommandText(), "Request      : CMND=01, DATA= AA BB 00 00 00\r\n" + std::string(kOkReply));
    EXPECT_EQ(device->featuresSent.at(0)[2], 0x05);
}

TEST_F(CommandConsoleTest, SendButtonFollowsTheCommandEditExceptDuringADownload)
{
    Edit(kCommandEditId)->setText("   ");
    EXPECT_TRUE(Item(kSendCommandId)->isEnabled());
    Edit(kCommandEditId)->clear();
    EXPECT_FALSE(Item(kSendCommandId)->isEnabled());

    dialog.m_bDownloading = true;
    Edit(kCommandEditId)->setText("02");
    EXPECT_FALSE(Item(kSendCommandId)->isEnabled());
}

TEST_F(CommandConsoleTest, SendingAnEmptyEditDisablesSendEvenThoughTheEditDidNotChange)
{
    AddReader();
    Edit(kCommandEditId)->clear();
    dialog.DownloadCommands(Texts{"delay 1"});
    ASSERT_TRUE(Item(kSendCommandId)->isEnabled());  // as the end of a download leaves it
    Button(kSendCommandId)->click();
    EXPECT_FALSE(Item(kSendCommandId)->isEnabled());
}

TEST_F(CommandConsoleTest, LoadingListsEveryLineAndStoresTheCommands)
{
    dialog.m_strCommandText = "earlier";
    LoadScript("; mode\r\n01 10 00 ; HID\r\n01 10 00\r\n01 1b 54;\r\nA;\r\ndelay 2;\r\n");
    EXPECT_EQ(CommandText(), "earlier; mode\r\n01 10 00 ; HID\r\n01 10 00\r\n01 1b 54;\r\nA;\r\ndelay 2;\r\n");
    EXPECT_EQ(dialog.m_nCommandCount, 2);
    EXPECT_EQ(dialog.m_strCommands[0], "01 10 00");
    EXPECT_EQ(dialog.m_strCommands[1], "delay 2");
    EXPECT_EQ(dialog.StatusText(), "Found  2 commands");
    EXPECT_TRUE(Item(kDownloadId)->isEnabled());

    LoadScript("; nothing here\n");
    EXPECT_EQ(dialog.m_nCommandCount, 0);
    EXPECT_EQ(dialog.StatusText(), "No commands found in file");
    EXPECT_FALSE(Item(kDownloadId)->isEnabled());
    EXPECT_TRUE(messageBox.texts.empty());
}

TEST_F(CommandConsoleTest, AFileThatCannotBeReadChangesNothing)
{
    LoadScript("02;\n");
    const std::string before = CommandText();
    std::filesystem::remove(scriptPath);
    dialog.LoadCommandFile();
    LoadScript(std::string(1 << 20, ';') + "03;\n");  // over the size limit
    EXPECT_EQ(messageBox.texts, (Texts{"Cannot open \"" + scriptPath.string() + "\": No such file or directory",
                                       "Cannot read \"" + scriptPath.string() +
                                           "\": A script file may hold at most 1 MiB (1048576 bytes)"}));
    EXPECT_EQ(CommandText(), before);
    EXPECT_EQ(dialog.m_nCommandCount, 1);
    EXPECT_EQ(dialog.m_strCommands[0], "02");
    EXPECT_FALSE(Item(kDownloadId)->isEnabled());
}

TEST_F(CommandConsoleTest, MoreCommandsThanSlotsKeepsTheFirstAndSaysHowManyWereLeftOut)
{
    std::string script;
    for (int i = 0; i < 257; ++i)
        script += i < 255 ? "02;\n" : "03;\n";
    LoadScript(script);
    EXPECT_EQ(dialog.m_nCommandCount, 255);
    EXPECT_EQ(dialog.m_strCommands[254], "02");
    EXPECT_EQ(messageBox.texts,
              Texts{"The command list holds 255 commands: the last 2 commands of the file were left out."});
}

TEST_F(CommandConsoleTest, DownloadRunsCommandsAndCountsDelaysDown)
{
    auto device = AddReader();
    LoadScript("01 10 00;\r\ndelay 2;\r\n02;\r\ndelay x;\r\n");
    ASSERT_EQ(dialog.m_nCommandCount, 4);
    dialog.m_strCommandText.clear();

    std::vector<std::string> shown;
    QObject::connect(dialog.Widgets().m_transcript, &QPlainTextEdit::textChanged, &dialog, [&] {
        const std::string text = Shown();
        const size_t at = text.rfind("Delay");
        const std::string delayLine = at == std::string::npos ? "" : text.substr(at, text.find('\n', at) - at);
        if (!delayLine.empty() && (shown.empty() || shown.back() != delayLine))
            shown.push_back(delayLine);
    });
    clock.ClearSleeps();
    Button(kDownloadId)->click();

    EXPECT_EQ(shown, (Texts{"Delay        : 2 seconds", "Delay        : 1 seconds", "Delay        : (waited 2 seconds)",
                            "Delay        : 0 seconds", "Delay        : (waited x seconds)"}));
    EXPECT_EQ(CommandText(), "Request      : CMND=01, DATA= 10 00\r\n" + std::string(kOkReply) +
                                 "\r\nDelay        : (waited 2 seconds)\r\nFinished downloading"
                                 "\r\nRequest      : CMND=02, DATA=\r\n" +
                                 kOkReply + "\r\nDelay        : (waited x seconds)\r\nFinished downloading\r\n---");
    EXPECT_EQ(device->featuresSent.size(), 2u);
    EXPECT_EQ(clock.TotalSlept(), 1000u + 2 * 20 + 3 * 1000);  // discovery, two answers, three seconds
    EXPECT_EQ(dialog.StatusText(), "Status: Ready To Send Command...");
    EXPECT_FALSE(dialog.m_bDownloading);
    EXPECT_EQ(dialog.focusWidget(), Item(kCommandEditId));
}

TEST_F(CommandConsoleTest, PanelsRunTheirOwnLinesThroughTheDownload)
{
    auto device = AddReader();
    dialog.DownloadCommands(Texts{"01 10 01", "02"});
    EXPECT_EQ(dialog.m_nCommandCount, 2);
    ASSERT_EQ(device->featuresSent.size(), 2u);
    EXPECT_EQ(device->featuresSent[0][4], 0x01);
    EXPECT_EQ(device->featuresSent[1][1], 0x02);
    EXPECT_TRUE(CommandText().ends_with("\r\n---"));
}

TEST_F(CommandConsoleTest, DownloadOfAnEmptyListWritesOnlyItsEnd)
{
    AddReader();
    dialog.m_strCommandText = "earlier";
    dialog.DownloadCommands();
    EXPECT_TRUE(reader.IsOpen());  // the reader checks are made all the same
    EXPECT_EQ(CommandText(), "earlier\r\n---");
    EXPECT_EQ(dialog.StatusText(), "Status: Ready To Send Command...");
    EXPECT_TRUE(AllConfigControlsEnabled(true));
}

TEST_F(CommandConsoleTest, DownloadGoesOnWhenEveryCommandFails)
{
    auto device = AddReader();
    device->setFeatureFailures = 100;
    dialog.DownloadCommands(Texts{"01", "02", "03"});
    const std::string text = CommandText();
    EXPECT_EQ(Occurrences(text, "Failure during transmit"), 3u);
    EXPECT_TRUE(text.ends_with("\r\n---"));
    EXPECT_EQ(dialog.StatusText(), "Status: Ready To Send Command...");
}

TEST_F(CommandConsoleTest, AReaderUnpluggedMidDownloadStopsItAtTheFirstCommandWithoutAReader)
{
    auto first = AddReader();
    size_t listsAtUnplug = 0;
    // Unplugged during the first delay.
    QObject::connect(dialog.Widgets().m_transcript, &QPlainTextEdit::textChanged, &dialog, [&] {
        if (listsAtUnplug == 0 && Shown().ends_with("Delay        : 1 seconds")) {
            host.Unplug("/dev/hidraw0");
            listsAtUnplug = host.CountInLog("list");
        }
    });

    dialog.DownloadCommands(Texts{"02", "delay 1", "03", "04", "delay 1", "05"});

    const std::string text = CommandText();
    // 03 still had the old handle: sent, failed, and the retry found no
    // reader. 04 found none before sending: the download stops there.
    EXPECT_TRUE(
        text.ends_with("CMND=03, DATA=\r\nResponse     : Failure during transmit"
                       "\r\nStopped      : after command 3 of 6, no usable reader\r\n---"))
        << text;
    EXPECT_EQ(messageBox.texts, Texts{"Attach device before sending commands"});
    EXPECT_EQ(host.CountInLog("list") - listsAtUnplug, 2u);  // the retry of 03 and the search for 04
    ASSERT_EQ(first->featuresSent.size(), 1u);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(host.OpenHandleCount(), 0);
    EXPECT_EQ(dialog.StatusText(), "Status: Ready To Send Command...");
    EXPECT_FALSE(dialog.m_bDownloading);
}

// Three exchanges failed one after the other end a download; one failure
// among answers does not.
struct FailingExchangesCase {
    const char* name;
    int setFeatureFailures;  // each failed exchange takes two: the send and its retry
    Texts messages;
    std::string end;  // the transcript's end
    size_t requests;
};

class FailingExchangesTest : public CommandConsoleTest, public ::testing::WithParamInterface<FailingExchangesCase> {};

TEST_P(FailingExchangesTest, StopTheDownloadOnlyThreeInARow)
{
    const FailingExchangesCase& c = GetParam();
    AddReader()->setFeatureFailures = c.setFeatureFailures;
    dialog.DownloadCommands(Texts{"01", "02", "delay 1", "03", "04", "05"});
    EXPECT_EQ(messageBox.texts, c.messages);
    EXPECT_TRUE(CommandText().ends_with(c.end)) << CommandText();
    EXPECT_EQ(Occurrences(CommandText(), "Request"), c.requests);
    EXPECT_EQ(dialog.StatusText(), "Status: Ready To Send Command...");
}

INSTANTIATE_TEST_SUITE_P(
    Downloads, FailingExchangesTest,
    ::testing::Values(FailingExchangesCase{"EveryExchangeFails",
                                           100,
                                           {"Download stopped: the reader failed 3 exchanges in a row"},
                                           "Failure during transmit\r\nStopped      : after command 4 of 6, 3 "
                                           "exchanges failed in a row\r\n---",
                                           3},
                      FailingExchangesCase{
                          "OneFailureThenAnswers", 2, {}, "CMND=05, DATA=\r\n" + std::string(kOkReply) + "\r\n---", 5}),
    [](const ::testing::TestParamInfo<FailingExchangesCase>& info) { return std::string(info.param.name); });

TEST_F(CommandConsoleTest, DownloadRefusedByAnErrorLeavesTheChangeHandlerWorking)
{
    AddReader();
    reader.LastErrorText = "CreateEvent Failed";
    dialog.DownloadCommands(Texts{"02"});
    EXPECT_EQ(messageBox.texts, Texts{"Fatal Error - CreateEvent Failed"});
    EXPECT_FALSE(dialog.m_bDownloading);
    EXPECT_EQ(CommandText(), "");
    Edit(kCommandEditId)->setText("02");
    EXPECT_TRUE(Item(kSendCommandId)->isEnabled());

    reader.LastErrorText.clear();
    host.Unplug("/dev/hidraw0");
    messageBox.texts.clear();
    dialog.DownloadCommands();
    EXPECT_EQ(messageBox.texts, Texts{"Attach device before sending commands"});
    EXPECT_FALSE(dialog.m_bDownloading);
}

TEST_F(CommandConsoleTest, DownloadComputesTheLengthWhateverTheCheckBoxSays)
{
    auto device = AddReader();
    Button(kAutoAddLengthId)->click();
    dialog.DownloadCommands(Texts{"01 10 00"});
    EXPECT_EQ(device->featuresSent.at(0)[2], 0x02);
    EXPECT_FALSE(dialog.m_bAutoAddLength);
    EXPECT_FALSE(Button(kAutoAddLengthId)->isChecked());

    Send("01 10 00");
    EXPECT_EQ(device->featuresSent.at(1)[2], 0x10);
}

TEST_F(CommandConsoleTest, ControlsAreDisabledWhileTheListRuns)
{
    AddReader();
    Edit(kCommandEditId)->clear();
    Edit(kFileEditId)->clear();
    Item(1042)->setEnabled(false);  // as the user-sentinel rule may leave them
    bool allDisabled = false;
    std::set<int> topEnabled;
    AtNextPump([&] {
        allDisabled = AllConfigControlsEnabled(false) && !Item(kReceiveMagneticDataId)->isEnabled() &&
                      !Item(kConfigurationCommandId)->isEnabled();
        topEnabled = Enabled({kTranscriptEditId, kClearDialogId, kStatusFrameId});
    });
    dialog.DownloadCommands(Texts{"delay 1"});
    EXPECT_TRUE(allDisabled);
    EXPECT_EQ(topEnabled, (std::set<int>{kTranscriptEditId, kClearDialogId, kStatusFrameId}));
    EXPECT_TRUE(AllConfigControlsEnabled(true));  // whatever the edits hold
    EXPECT_TRUE(Item(kReceiveMagneticDataId)->isEnabled());
    EXPECT_TRUE(Item(kConfigurationCommandId)->isEnabled());
}

TEST_F(CommandConsoleTest, ClearingDuringADelayLastsOnlyUntilTheNextStep)
{
    AddReader();
    dialog.m_strCommandText = "earlier";
    std::string afterClear = "not cleared";
    AtNextPump([&] {
        Button(kClearDialogId)->click();
        afterClear = CommandText();
    });
    dialog.DownloadCommands(Texts{"delay 2"});
    EXPECT_EQ(afterClear, "");
    EXPECT_EQ(CommandText(), "earlier\r\nDelay        : (waited 2 seconds)\r\nFinished downloading\r\n---");
}

TEST_F(CommandConsoleTest, ClosingTheWindowStopsTheDownloadAtOnce)
{
    auto device = AddReader();
    AtNextPump([&] { dialog.reject(); });
    clock.ClearSleeps();
    dialog.DownloadCommands(Texts{"delay 5", "02", "delay 5"});
    EXPECT_TRUE(device->featuresSent.empty());
    EXPECT_LE(clock.TotalSlept(), 1000u + 10u);  // discovery and one slice of the first second
    EXPECT_FALSE(dialog.m_bDownloading);
}

// What the operator starts while a send handles the window's events is
// neither run nor kept for later: the send goes out as typed, alone.
struct ClickDuringASendCase {
    const char* name;
    std::function<void(CommandConsoleTest&)> click;
};

class ClickDuringASendTest : public CommandConsoleTest, public ::testing::WithParamInterface<ClickDuringASendCase> {};

TEST_P(ClickDuringASendTest, IsIgnored)
{
    auto device = AddReader();
    LoadScript("04;\n");
    const std::string listing = CommandText();
    Edit(kCommandEditId)->setText("02");
    const std::set<int> enabled = Enabled({kSendCommandId, kDownloadId, 1041, kReceiveMagneticDataId});
    AtNextPump([&] { GetParam().click(*this); });
    Button(kSendCommandId)->click();

    ASSERT_EQ(device->featuresSent.size(), 1u);
    EXPECT_EQ(device->featuresSent[0][1], 0x02);
    EXPECT_EQ(CommandText(), listing + "\r\nRequest      : CMND=02, DATA=\r\n" + kOkReply);
    EXPECT_EQ(dialog.m_nCommandCount, 1);
    EXPECT_EQ(Edit(kFileEditId)->text().toStdString(), scriptPath.string());
    EXPECT_EQ(Enabled({kSendCommandId, kDownloadId, 1041, kReceiveMagneticDataId}), enabled);
    EXPECT_TRUE(messageBox.texts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, ClickDuringASendTest,
    ::testing::Values(ClickDuringASendCase{"SendAnotherCommand",
                                           [](CommandConsoleTest& t) {
                                               t.Edit(kCommandEditId)->setText("03");
                                               t.Button(kSendCommandId)->click();
                                           }},
                      ClickDuringASendCase{
                          "EnterInTheCommandEdit",
                          [](CommandConsoleTest& t) { QTest::keyClick(t.Edit(kCommandEditId), Qt::Key_Return); }},
                      ClickDuringASendCase{"Download", [](CommandConsoleTest& t) { t.Button(kDownloadId)->click(); }},
                      ClickDuringASendCase{"ApplyTracks", [](CommandConsoleTest& t) { t.Button(1041)->click(); }}),
    [](const ::testing::TestParamInfo<ClickDuringASendCase>& info) { return std::string(info.param.name); });

TEST_F(CommandConsoleTest, ReadingModeChosenDuringASendEndsTheSendThere)
{
    auto device = AddReader();
    size_t opens = 0, waits = 0;
    AtNextPump([&] {
        opens = host.CountInLog("open");
        waits = clock.Sleeps().size();
        Button(kReceiveMagneticDataId)->click();
    });
    Send("02");
    EXPECT_TRUE(device->featuresSent.empty());
    EXPECT_EQ(host.CountInLog("open"), opens);
    EXPECT_EQ(clock.Sleeps().size(), waits);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(Shown(), "");
    const std::string record = "Request      : CMND=02, DATA=\r\nNot sent     : stopped before it reached the reader";
    EXPECT_EQ(CommandText(), record);
    EXPECT_EQ(dialog.windowTitle(), "USB HID MSR Demo - Searching");
    ToCommandMode();
    EXPECT_EQ(Shown(), QString::fromStdString(record).replace("\r\n", "\n").toStdString());
}

// A line is added at the end of the shown text; what is shown already is
// left alone, so a line costs the same however long the transcript is.
TEST_F(CommandConsoleTest, WritingALineChangesOnlyTheEndOfTheShownText)
{
    AddReader();
    const int earlier = 100000;
    dialog.m_strCommandText = QString(earlier, QLatin1Char('x'));
    dialog.m_strTranscript = dialog.m_strCommandText;
    dialog.UpdateData(false);
    int firstChanged = earlier;
    QObject::connect(dialog.Widgets().m_transcript->document(), &QTextDocument::contentsChange, &dialog,
                     [&](int from, int, int) { firstChanged = std::min(firstChanged, from); });
    dialog.DownloadCommands(Texts{"02", "delay 2", "03"});
    EXPECT_EQ(firstChanged, earlier);
    EXPECT_EQ(Shown(), QString(dialog.m_strCommandText).replace("\r\n", "\n").toStdString());
}

}  // namespace
}  // namespace corvalt
