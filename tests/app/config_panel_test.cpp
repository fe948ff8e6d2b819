// The configuration panels in the window, headless, with a simulated reader
// and a clock that never waits: what each Apply sends and what it does to
// the command list and the Download button, and the data-format group's
// enable rule.
#include "app/corvalt_dlg.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <cstdio>
#include <fstream>
#include <set>

#include "rules/dialog_template.h"
#include "carddata/card_data.h"
#include "tests/support/main_window_fixture.h"

namespace corvalt {
namespace {

using testing::MainWindowTest;
using testing::SimulatedDevice;

constexpr int kApplyInterfaceMode = 1035;
constexpr int kApplyTracks = 1041;
constexpr int kApplyFormat = 1053;
constexpr int kApplyErrorString = 1087;
constexpr int kApplyUserSentinelError = 1090;
constexpr int kUserFormat = 1060;
constexpr int kEnter = 1076;

class ConfigPanelTest : public MainWindowTest {
protected:
    std::shared_ptr<SimulatedDevice> AddReader()
    {
        return host.AddReader("/dev/hidraw0", std::make_shared<VirtualReader>(0x0002, clock));
    }

    // The command lines the reader received, in normal form with their
    // length byte, read from the feature reports sent.
    static std::vector<std::string> Received(const SimulatedDevice& device)
    {
        std::vector<std::string> lines;
        for (const std::vector<uint8_t>& report : device.featuresSent) {
            std::string line;
            const size_t end = std::min<size_t>(report.size(), 3 + report.at(2));
            for (size_t i = 1; i < end; ++i) {
                char hex[4];
                std::snprintf(hex, sizeof hex, i == 1 ? "%02X" : " %02X", report[i]);
                line += hex;
            }
            lines.push_back(line);
        }
        return lines;
    }

    std::vector<std::string> CommandList() const
    {
        return {dialog.m_strCommands.begin(), dialog.m_strCommands.begin() + dialog.m_nCommandCount};
    }
};

using Lines = std::vector<std::string>;

// ---- Apply --------------------------------------------------------------

struct ApplyCase {
    const char* name;
    std::vector<int> clicks;  // before Apply
    int apply;
    Lines commands;  // the command list afterwards
    Lines received;  // as the reader got them, length byte included
};

class ApplyTest : public ConfigPanelTest, public ::testing::WithParamInterface<ApplyCase> {};

TEST_P(ApplyTest, SendsItsLinesThroughTheDownload)
{
    const ApplyCase& c = GetParam();
    const auto device = AddReader();
    ToCommandMode();
    Edit(kFileEditId)->setText("/tmp/script.txt");
    for (int id : c.clicks)
        Click(id);
    Click(c.apply);

    EXPECT_TRUE(messageBox.texts.empty());
    EXPECT_EQ(CommandList(), c.commands);
    EXPECT_EQ(Received(*device), c.received);
    for (const std::string& line : c.received) {
        const std::string request = "Request      : CMND=" + line.substr(0, 2) + ", DATA=" + line.substr(5);
        EXPECT_NE(dialog.m_strCommandText.toStdString().find(request + "\r\n"), std::string::npos) << request;
    }
    // The command list no longer holds the script: Download is off, the
    // path gone.
    EXPECT_FALSE(Item(kDownloadId)->isEnabled());
    EXPECT_TRUE(Edit(kFileEditId)->text().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Panels, ApplyTest,
    ::testing::Values(
        ApplyCase{"HidMode", {}, kApplyInterfaceMode, {"01 10 00", "02", "delay 5"}, {"01 02 10 00", "02 00"}},
        ApplyCase{
            "EmulateKeyboard", {1037}, kApplyInterfaceMode, {"01 10 01", "02", "delay 5"}, {"01 02 10 01", "02 00"}},
        ApplyCase{"Tracks1And3", {1050, 1051, 1052}, kApplyTracks, {"10 1B 54 05"}, {"10 03 1B 54 05"}},
        ApplyCase{"InitialFormat", {}, kApplyFormat, {"10 1B 46 13"}, {"10 03 1B 46 13"}},
        ApplyCase{"DataEnterHash", {1046, 1044}, kApplyFormat, {"10 1B 46 20"}, {"10 03 1B 46 20"}},
        ApplyCase{"ToggleUserWithEnter", {kUserFormat, 1082}, kApplyFormat, {"10 1B 46 84"}, {"10 03 1B 46 84"}},
        ApplyCase{"ErrorStringDisabled", {1086}, kApplyErrorString, {"10 1B 45 30 30"}, {"10 04 1B 45 30 30"}},
        ApplyCase{"UserSentinelError", {}, kApplyUserSentinelError, {"10 1B 45 31 31"}, {"10 04 1B 45 31 31"}}),
    [](const ::testing::TestParamInfo<ApplyCase>& info) { return std::string(info.param.name); });

TEST_F(ConfigPanelTest, InterfaceModeWaitsFiveSecondsAfterTheReset)
{
    AddReader();
    ToCommandMode();
    Click(kApplyInterfaceMode);
    EXPECT_GE(clock.TotalSlept(), 5000u);
    const std::string text = dialog.m_strCommandText.toStdString();
    EXPECT_NE(text.find("Delay        : (waited 5 seconds)\r\nFinished downloading\r\n---"), std::string::npos) << text;
}

TEST_F(ConfigPanelTest, WithoutAReaderTheDownloadSaysSoAndTheScriptIsStillForgotten)
{
    for (int apply : {kApplyInterfaceMode, kApplyTracks, kApplyFormat, kApplyErrorString, kApplyUserSentinelError}) {
        SCOPED_TRACE(apply);
        messageBox.texts.clear();
        Click(kReceiveMagneticDataId);
        Edit(kFileEditId)->setText("/tmp/script.txt");
        ToCommandMode();
        ASSERT_TRUE(Item(kDownloadId)->isEnabled());
        Click(apply);
        EXPECT_EQ(messageBox.texts, Lines{"Attach device before sending commands"});
        EXPECT_FALSE(Item(kDownloadId)->isEnabled());
        EXPECT_TRUE(Edit(kFileEditId)->text().isEmpty());
    }
}

TEST_F(ConfigPanelTest, ApplyReplacesALoadedScript)
{
    const auto device = AddReader();
    const std::string path = ::testing::TempDir() + "config_panel_script.txt";
    std::ofstream(path) << "01 10 00;\r\n02;\r\ndelay 2;\r\n";
    ToCommandMode();
    Edit(kFileEditId)->setText(QString::fromStdString(path));
    dialog.LoadCommandFile();
    ASSERT_EQ(dialog.m_nCommandCount, 3);

    Click(kApplyTracks);
    EXPECT_EQ(CommandList(), Lines{"10 1B 54 02"});
    EXPECT_FALSE(Item(kDownloadId)->isEnabled());

    Edit(kFileEditId)->setText(QString::fromStdString(path));
    dialog.LoadCommandFile();  // loading it again brings the script back
    EXPECT_EQ(dialog.m_nCommandCount, 3);
    EXPECT_TRUE(Item(kDownloadId)->isEnabled());
    Click(kApplyErrorString);  // the error string options too
    EXPECT_EQ(CommandList(), Lines{"10 1B 45 30 31"});
    EXPECT_FALSE(Item(kDownloadId)->isEnabled());
    EXPECT_TRUE(Edit(kFileEditId)->text().isEmpty());
}

TEST_F(ConfigPanelTest, AKeyTextThatNamesNoKeySendsNothingAndChangesNothing)
{
    const auto device = AddReader();
    Edit(kFileEditId)->setText("/tmp/script.txt");
    ToCommandMode();
    Click(kUserFormat);
    Edit(1075)->setText("  f0 ");
    Click(kApplyFormat);
    EXPECT_TRUE(device->featuresSent.empty());
    EXPECT_TRUE(messageBox.texts.empty());
    EXPECT_TRUE(Item(kDownloadId)->isEnabled());
    EXPECT_EQ(Edit(kFileEditId)->text(), "/tmp/script.txt");
}

TEST_F(ConfigPanelTest, ASpecificKeyIsSentAndItsEditShowsTheTrimmedText)
{
    const auto device = AddReader();
    ToCommandMode();
    Click(kUserFormat);
    Click(1069);
    Click(1066);
    Click(1061);
    Edit(1075)->setText(" esc ");
    Click(kApplyFormat);
    EXPECT_EQ(Received(*device), Lines{"10 05 1B 53 83 01 29"});
    EXPECT_EQ(Edit(1075)->text(), "esc");
}

TEST_F(ConfigPanelTest, TheEndOfAnyDownloadEnablesTheTrack3StartSentinelEvenForTheUserFormat)
{
    AddReader();
    ToCommandMode();
    Click(kUserFormat);
    Click(1082);
    ASSERT_FALSE(Item(1042)->isEnabled());
    Click(kApplyFormat);
    for (int id : {1056, 1042, 1043, 1044})
        EXPECT_TRUE(Item(id)->isEnabled()) << id;
    for (int id : {1072, 1068, 1074, 1077})  // not in the block the download enables
        EXPECT_FALSE(Item(id)->isEnabled()) << id;
}

TEST_F(ConfigPanelTest, PanelCommandsCarryTheirLengthEvenWithAutoAddLengthOff)
{
    const auto device = AddReader();
    ToCommandMode();
    Click(kAutoAddLengthId);
    ASSERT_FALSE(dialog.m_bAutoAddLength);
    Click(kApplyTracks);
    EXPECT_EQ(Received(*device), Lines{"10 03 1B 54 02"});
    EXPECT_FALSE(dialog.m_bAutoAddLength);
}

TEST_F(ConfigPanelTest, ShowingTheTranscriptLeavesEveryChoiceAsTheOperatorSetIt)
{
    const auto device = AddReader();
    ToCommandMode();
    Click(kUserFormat);
    Click(1081);  // Literal
    Click(1050);  // Track 1
    Click(1037);  // Emulate Keyboard
    Edit(1078)->setText("ABC");
    const auto choices = [&] {
        return std::tuple(Button(1050)->isChecked(), Button(1037)->isChecked(), Button(1081)->isChecked(),
                          Button(kEnter)->isChecked(), Edit(1078)->text());
    };
    const auto set = choices();

    Edit(kCommandEditId)->setText("05");
    Click(kSendCommandId);
    EXPECT_EQ(choices(), set) << "after a send";
    Click(kClearDialogId);
    EXPECT_EQ(choices(), set) << "after Clear Dialog";
    Click(kReceiveMagneticDataId);
    dialog.PresentCardData(CardData{});
    Click(kConfigurationCommandId);
    EXPECT_EQ(choices(), set) << "after a swipe";

    device->featuresSent.clear();
    Click(kApplyTracks);
    EXPECT_EQ(Received(*device), Lines{"10 03 1B 54 03"});
}

// ---- The enable rule ---------------------------------------------------

const std::vector<int> kRuleControls = {1076, 1079, 1080, 1081, 1082, 1071, 1072, 1068, 1069, 1073, 1065, 1066,
                                        1067, 1074, 1061, 1062, 1075, 1077, 1078, 1056, 1042, 1043, 1044};

std::set<int> EnabledAmong(const CCorvaltDlg& dialog, const std::vector<int>& ids)
{
    std::set<int> enabled;
    for (int id : ids)
        if (dialog.GetDlgItem(id)->isEnabled())
            enabled.insert(id);
    return enabled;
}

TEST_F(ConfigPanelTest, EveryFormatAndModeClickAppliesTheRule)
{
    const std::set<int> user = {1076, 1079, 1080, 1081, 1082, 1071};
    const std::set<int> positionAndTrack = {1072, 1068, 1069, 1073, 1065, 1066, 1067};
    const std::set<int> track3 = {1056, 1042, 1043, 1044};
    const int formats[] = {1046, 1047, 1048, 1049, 1060};
    const int modes[] = {1080, 1081, 1082};
    ToCommandMode();
    for (int format : formats) {
        for (int m = 0; m < 3; ++m) {
            SCOPED_TRACE(::testing::Message() << "format " << format << ", mode " << modes[m]);
            Click(kUserFormat);  // makes the mode radios clickable
            Click(modes[m]);
            Click(format);
            std::set<int> expected = track3;
            if (format == kUserFormat) {
                expected = user;
                if (m != 2)
                    expected.insert(positionAndTrack.begin(), positionAndTrack.end());
                if (m == 0)
                    expected.insert({1074, 1061, 1062, 1075});
                if (m == 1)
                    expected.insert({1077, 1078});
            }
            EXPECT_EQ(EnabledAmong(dialog, kRuleControls), expected);
            EXPECT_EQ(Button(kEnter)->isChecked(), format == kUserFormat);
        }
    }
}

TEST_F(ConfigPanelTest, OtherClicksOfTheGroupLeaveEnterAsTheOperatorSetIt)
{
    ToCommandMode();
    Click(kUserFormat);
    ASSERT_TRUE(Button(kEnter)->isChecked());
    Click(kEnter);
    for (int id : {1069, 1068, 1066, 1061, 1062, 1042})
        Click(id);
    EXPECT_FALSE(Button(kEnter)->isChecked());
    EXPECT_FALSE(Item(1042)->isEnabled());

    Click(1081);  // a mode radio runs the rule again
    EXPECT_TRUE(Button(kEnter)->isChecked());
}

TEST_F(ConfigPanelTest, EnteringCommandModeAppliesTheRule)
{
    dialog.m_settings.m_nDataFormat = 4;
    dialog.m_settings.m_nUserSentinelMode = 1;
    dialog.UpdateData(false);
    ToCommandMode();
    EXPECT_EQ(EnabledAmong(dialog, kRuleControls), (std::set<int>{1076, 1079, 1080, 1081, 1082, 1071, 1072, 1068, 1069,
                                                                  1073, 1065, 1066, 1067, 1077, 1078}));
    EXPECT_TRUE(Button(kEnter)->isChecked());
}

}  // namespace
}  // namespace corvalt
