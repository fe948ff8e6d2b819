// The main window as the operator meets it, headless, with simulated
// devices, a clock that never waits and recorded message boxes. The poll is
// driven by calling the timer handler.
#include "app/corvalt_dlg.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "app/app_identity.h"
#include "app/config_controls.h"
#include "app/dialog_controls.h"
#include "rules/dialog_template.h"
#include "tests/support/descriptors.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/system_texts.h"

namespace corvalt {
namespace {

using testing::MainWindowTest;
using testing::VendorDescriptor;

const std::vector<uint8_t> kReaderDescriptor = VendorDescriptor(337, 63);

// Card-report steps that deliver one report on request; a test can run
// something while the poll pumps messages.
class OneReportSteps final : public CardReportSteps {
public:
    void LoadDataUsageSizes() override {}
    bool PollInputReport() override
    {
        ++polls;
        return std::exchange(reportWaiting, false);
    }
    bool DecodeCardReport() override
    {
        ++decodes;
        return true;
    }
    void PresentCardData() override { ++presents; }

    bool reportWaiting = false;
    int polls = 0, decodes = 0, presents = 0;
};

// The steps are made before the window that is given them.
struct WithOneReportSteps {
    OneReportSteps steps;
};

class CorvaltDlgTest : protected WithOneReportSteps, public MainWindowTest {
protected:
    CorvaltDlgTest() : MainWindowTest(&steps) {}

    QString Title() const { return dialog.windowTitle(); }
    int Bottom(int id) const { return Item(id)->mapTo(&dialog, QPoint(0, 0)).y() + Item(id)->height(); }
    void AddReader(uint16_t productId) { host.AddDevice("/dev/hidraw0", 0x0801, productId, kReaderDescriptor); }
};

std::vector<int> AllIds()
{
    std::vector<int> ids;
    for (const ControlSpec& control : MainDialogControls())
        ids.push_back(control.id);
    return ids;
}

const std::vector<int> kTopArea = {kUnnamedId, 1028, 1029, 1032, 1033, 1059};
const std::vector<int> kUserSentinelControls = {1061, 1062, 1065, 1066, 1067, 1068, 1069, 1071, 1072, 1073,
                                                1074, 1075, 1076, 1077, 1078, 1079, 1080, 1081, 1082};

// Asking for a control by an id the template lacks, or as another class
// than its row makes, is a programming error that stops the program there.
TEST(DialogControlsDeathTest, AControlMissingOrOfAnotherClassStopsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QWidget dialog;
    const DialogControls controls(dialog, AboutDialogControls());
    EXPECT_EQ(controls.Get<QPushButton>(kAboutOkId), controls.Item(kAboutOkId));
#ifdef _WIN32
    // Qt hands a fatal message to the debugger's channel there, where the
    // test cannot read it: only the death is checked.
    EXPECT_DEATH(controls.Get<QLineEdit>(kAboutOkId), "");
    EXPECT_DEATH(controls.Get<QWidget>(4242), "");
#else
    EXPECT_DEATH(controls.Get<QLineEdit>(kAboutOkId), "control 1 .*QLineEdit");
    EXPECT_DEATH(controls.Get<QWidget>(4242), "control 4242 ");
#endif
}

// The icon the build put in the program, in whichever format the
// platform's Qt reads, is found and drawn at the sizes windows use.
TEST(ApplicationIconTest, IsFoundAndDrawn)
{
    const QIcon icon = ApplicationIcon();
    for (const int size : {16, 32, 256})
        EXPECT_EQ(icon.pixmap(size).width(), size);
}

TEST_F(CorvaltDlgTest, StartsInReadingModeCutOffBelowTheStatusLine)
{
    EXPECT_EQ(Title(), "USB HID MSR Demo - Searching");
    EXPECT_EQ(dialog.StatusText(), "Status: Ready For Reading Magnetic Card Data");
    EXPECT_TRUE(dialog.IsReadMode());
    EXPECT_TRUE(dialog.IsPolling());
    EXPECT_EQ(dialog.PollState(), 0);
    // The window, its frame included, ends at the status frame's bottom edge.
    const QRect frame = dialog.frameGeometry();
#ifndef _WIN32                                              // the offscreen platform gives a frame on Linux only
    ASSERT_GT(frame.bottom(), dialog.geometry().bottom());  // a bottom border to measure with
#endif
    EXPECT_EQ(frame.y() + frame.height(), dialog.geometry().y() + Bottom(kStatusFrameId));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());  // the user cannot resize it
    EXPECT_EQ(dialog.focusWidget(), Item(kTranscriptEditId));

    // Checked at start: the reading-mode radio, Auto Add Length, Track 2, and
    // the initial choice of every radio group.
    const std::set<int> checked = {1032, 1031, 1051, 1036, 1043, 1049, 1068, 1065, 1080, 1085, 1088};
    for (const ControlSpec& control : MainDialogControls()) {
        if (control.kind == ControlKind::RadioButton || control.kind == ControlKind::CheckBox) {
            EXPECT_EQ(Button(control.id)->isChecked(), checked.count(control.id) == 1) << control.id;
        }
    }
    EXPECT_FALSE(Item(1076)->isEnabled());
}

TEST_F(CorvaltDlgTest, ReadingModeEnablesOnlyTheTopArea)
{
    const std::vector<int> all = AllIds();
    EXPECT_EQ(Enabled(all), std::set<int>(kTopArea.begin(), kTopArea.end()));
}

TEST_F(CorvaltDlgTest, TabNeverReachesTheConfigurationArea)
{
    std::set<QWidget*> visited;
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.insert(QApplication::focusWidget());
    }
    // Reading mode writes Tab into the transcript by name instead of moving
    // on, so the focus may not move at all; it must never leave the top area.
    const std::set<QWidget*> topArea = {Item(kTranscriptEditId), Item(kClearDialogId)};
    EXPECT_TRUE(std::ranges::includes(topArea, visited));
}

TEST_F(CorvaltDlgTest, CommandModeShowsAndEnablesTheWholeWindow)
{
    ToCommandMode();
    EXPECT_FALSE(dialog.IsReadMode());
    EXPECT_FALSE(dialog.IsPolling());
    EXPECT_EQ(Title(), "USB HID MSR Demo - Command Mode");
    EXPECT_EQ(dialog.StatusText(), "Status: Ready To Send Command...");
    EXPECT_EQ(dialog.focusWidget(), Item(kCommandEditId));
    EXPECT_GT(dialog.height(), Bottom(1090));

    // Everything but Send and Download, whose edits are empty, and the user
    // sentinel controls, which the initial fixed format leaves disabled.
    std::set<int> expected;
    for (int id : AllIds())
        expected.insert(id);
    expected.erase(kSendCommandId);
    expected.erase(kDownloadId);
    for (int id : kUserSentinelControls)
        expected.erase(id);
    EXPECT_EQ(Enabled(AllIds()), expected);
}

TEST_F(CorvaltDlgTest, SendAndDownloadFollowTheirEditsAtTheSwitch)
{
    struct Case {
        const char* command;
        const char* file;
    };
    for (const Case c : {Case{"", ""}, Case{"01", ""}, Case{"", "/tmp/script.txt"}, Case{"02 10", "x"}}) {
        SCOPED_TRACE(std::string(c.command) + " | " + c.file);
        ToReadingMode();
        Edit(kCommandEditId)->setText(c.command);
        Edit(kFileEditId)->setText(c.file);
        ToCommandMode();
        EXPECT_EQ(Item(kSendCommandId)->isEnabled(), *c.command != '\0');
        EXPECT_EQ(Item(kDownloadId)->isEnabled(), *c.file != '\0');
    }
}

TEST_F(CorvaltDlgTest, BackToReadingModeIsLikeTheStart)
{
    const QSize reduced = dialog.size();
    ToCommandMode();
    ToReadingMode();
    EXPECT_EQ(Title(), "USB HID MSR Demo - Searching");
    EXPECT_EQ(dialog.StatusText(), "Status: Ready For Reading Magnetic Card Data");
    EXPECT_EQ(dialog.size(), reduced);
    EXPECT_TRUE(dialog.IsPolling());
    EXPECT_EQ(dialog.focusWidget(), Item(kTranscriptEditId));
    EXPECT_EQ(Enabled(AllIds()), std::set<int>(kTopArea.begin(), kTopArea.end()));
}

TEST_F(CorvaltDlgTest, FullHeightComesBackAfterTheWindowWasMoved)
{
    ToCommandMode();
    const QSize full = dialog.size();
    ToReadingMode();
    dialog.move(dialog.pos() + QPoint(40, 25));
    const QPoint moved = dialog.pos();
    ToCommandMode();
    EXPECT_EQ(dialog.size(), full);
    EXPECT_EQ(dialog.pos(), moved);
}

TEST_F(CorvaltDlgTest, ClickingTheSelectedModeChangesNothing)
{
    AddReader(0x0002);
    Ticks(2);
    ASSERT_EQ(dialog.PollState(), 4);
    ToReadingMode();
    EXPECT_EQ(dialog.PollState(), 4);
    EXPECT_TRUE(reader.IsOpen());
    EXPECT_EQ(Title(), "USB HID MSR Demo - Hid Mode");
    EXPECT_EQ(dialog.StatusText(), "Status: Swipe card...");

    ToCommandMode();
    Edit(kFileEditId)->setText("script.txt");
    dialog.m_strCommandText = "Request      : 01\r\n";
    ToCommandMode();
    EXPECT_FALSE(Item(kDownloadId)->isEnabled());  // the switch did not run again
    EXPECT_EQ(Shown(), "");
}

struct PollCase {
    const char* name;
    uint16_t productId;  // 0: no reader, only another HID device; 0xFFFF: no HID device at all
    int ticks;
    const char* title;
    const char* status;
};

class PollTextsTest : public CorvaltDlgTest, public ::testing::WithParamInterface<PollCase> {};

TEST_P(PollTextsTest, TitleAndStatusSayWhatThePollFound)
{
    const PollCase c = GetParam();
    if (c.productId == 0)
        host.AddDevice("/dev/hidraw0", 0x046D, 0xC31C, VendorDescriptor(8, 0));
    else if (c.productId != 0xFFFF)
        AddReader(c.productId);
    Ticks(c.ticks);
    EXPECT_EQ(Title(), c.title);
    EXPECT_EQ(dialog.StatusText(), c.status);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, PollTextsTest,
    ::testing::Values(PollCase{"HidReaderFirstTick", 0x0002, 1, "USB HID MSR Demo - Searching",
                               "Status: Ready For Reading Magnetic Card Data"},
                      PollCase{"HidReader", 0x0002, 2, "USB HID MSR Demo - Hid Mode", "Status: Swipe card..."},
                      PollCase{"KeyboardReader", 0x0001, 2, "USB HID MSR Demo - Keyboard Mode",
                               "Status: Swipe card..."},
                      PollCase{"NoHidDevice", 0xFFFF, 1, "USB HID MSR Demo - Searching", "Status: Attach Device..."},
                      PollCase{"OtherHidDeviceOnly", 0, 3, "USB HID MSR Demo - Searching",
                               "Status: Ready For Reading Magnetic Card Data"}),
    [](const ::testing::TestParamInfo<PollCase>& info) { return std::string(info.param.name); });

TEST_F(CorvaltDlgTest, ASwipeShowsProcessingThenSwipeCardAgain)
{
    AddReader(0x0002);
    Ticks(2);
    dialog.m_strCardText = "Track 1 = old\r\n";
    clock.ClearSleeps();
    steps.reportWaiting = true;
    QString statusDuringPump;
    QTimer::singleShot(0, &dialog, [&] { statusDuringPump = dialog.StatusText(); });
    Ticks(1);
    EXPECT_EQ(statusDuringPump, "Status: Processing data...");
    EXPECT_TRUE(dialog.m_strCardText.isEmpty());
    EXPECT_EQ(clock.Sleeps(), std::vector<uint32_t>{100});
    EXPECT_EQ(steps.presents, 1);
    EXPECT_EQ(dialog.StatusText(), "Status: Swipe card...");
}

TEST_F(CorvaltDlgTest, NoHidDeviceEmptiesTheCardTranscriptOnEveryTick)
{
    dialog.m_strCardText = "Track 2 = ;123?\r\n";
    Ticks(1);
    EXPECT_EQ(Shown(), "");
    EXPECT_TRUE(dialog.m_strCardText.isEmpty());
}

TEST_F(CorvaltDlgTest, EachModeKeepsItsOwnTranscript)
{
    AddReader(0x0001);
    dialog.m_strCardText = "Track 2 = ;123?\r\n";
    ToCommandMode();
    dialog.m_strCommandText = "Request      : 02\r\nResponse     : 00\r\n";
    dialog.m_strTranscript = dialog.m_strCommandText;
    dialog.UpdateData(false);

    ToReadingMode();
    EXPECT_EQ(Shown(), "Track 2 = ;123?\n");
    ToCommandMode();
    EXPECT_EQ(Shown(), "Request      : 02\nResponse     : 00\n");
}

TEST_F(CorvaltDlgTest, ClearDialogEmptiesOnlyTheCurrentTranscript)
{
    dialog.m_strCardText = "card";
    dialog.m_strCommandText = "command";
    ToCommandMode();
    Click(kClearDialogId);
    EXPECT_EQ(Shown(), "");
    EXPECT_TRUE(dialog.m_strCommandText.isEmpty());
    EXPECT_EQ(dialog.focusWidget(), Item(kTranscriptEditId));
    ToReadingMode();
    EXPECT_EQ(Shown(), "card");
    Click(kClearDialogId);
    EXPECT_TRUE(dialog.m_strCardText.isEmpty());
}

TEST_F(CorvaltDlgTest, TranscriptLinesEndInCrLfAndASaveThenLoadChangesNothing)
{
    dialog.m_strTranscript = "a\r\nb\r\n";
    dialog.UpdateData(false);
    EXPECT_EQ(Shown(), "a\nb\n");
    dialog.UpdateData(true);
    EXPECT_EQ(dialog.m_strTranscript, "a\r\nb\r\n");

    QTest::keyClicks(Item(kTranscriptEditId), "x");
    QTest::keyClick(Item(kTranscriptEditId), Qt::Key_Return);
    const QString typed = Shown();
    dialog.UpdateData(true);
    EXPECT_EQ(dialog.m_strTranscript, QString(typed).replace("\n", "\r\n"));
    dialog.UpdateData(false);
    EXPECT_EQ(Shown(), typed);
}

TEST_F(CorvaltDlgTest, TranscriptShowsMarkupAsText)
{
    dialog.m_strTranscript = "<b>%B1234^</b>";
    dialog.UpdateData(false);
    EXPECT_EQ(Shown(), "<b>%B1234^</b>");
}

TEST_F(CorvaltDlgTest, DataExchangeCarriesEveryBoundChoice)
{
    ToCommandMode();
    Click(1037);
    Click(1060);
    Click(1062);
    Click(1051);  // unchecks Track 2
    Edit(1078)->setText("ABC");
    dialog.UpdateData(true);
    EXPECT_EQ(dialog.m_settings.m_nInterfaceMode, 1);
    EXPECT_EQ(dialog.m_settings.m_nDataFormat, 4);
    EXPECT_EQ(dialog.m_settings.m_bAlt, 1);
    EXPECT_EQ(dialog.m_settings.m_bTrack2, 0);
    EXPECT_EQ(dialog.m_settings.m_strLiteralSentinel, "ABC");

    dialog.m_settings.m_nSentinelTrack = -1;  // none checked
    dialog.m_settings.m_bTrack3 = 2;          // indeterminate
    dialog.UpdateData(false);
    for (int id : {1065, 1066, 1067})
        EXPECT_FALSE(Button(id)->isChecked()) << id;
    EXPECT_EQ(dialog.Control<QCheckBox>(1052)->checkState(), Qt::PartiallyChecked);
    dialog.UpdateData(true);
    EXPECT_EQ(dialog.m_settings.m_nSentinelTrack, -1);
    EXPECT_EQ(dialog.m_settings.m_bTrack3, 2);
}

TEST_F(CorvaltDlgTest, EscEndsTheProgramOnlyInCommandMode)
{
    QTest::keyClick(Item(kTranscriptEditId), Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());

    ToCommandMode();
    QTest::keyClick(Item(kCommandEditId), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(CorvaltDlgTest, EnterInTheCommandEditSendsInsteadOfClosing)
{
    QSignalSpy sends(Button(kSendCommandId), &QAbstractButton::clicked);
    ToCommandMode();  // the command edit is empty: Send stays disabled
    QTest::keyClick(Item(kCommandEditId), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(sends.count(), 0);

    ToReadingMode();
    Edit(kCommandEditId)->setText("02");
    ToCommandMode();
    QTest::keyClick(Item(kCommandEditId), Qt::Key_Return);
    QTest::keyClick(Item(kCommandEditId), Qt::Key_Enter);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(sends.count(), 2);
}

TEST_F(CorvaltDlgTest, ATickArrivingDuringAPollStepIsIgnored)
{
    AddReader(0x0002);
    Ticks(2);
    steps.reportWaiting = true;
    QTimer::singleShot(0, &dialog, [&] { dialog.OnTimer(); });
    Ticks(1);
    EXPECT_EQ(steps.polls, 1);
    EXPECT_EQ(steps.presents, 1);
}

TEST_F(CorvaltDlgTest, ASwitchToCommandModeDuringAPollStepStopsTheStep)
{
    AddReader(0x0002);
    Ticks(2);
    steps.reportWaiting = true;
    QTimer::singleShot(0, &dialog, [&] { ToCommandMode(); });
    Ticks(1);
    EXPECT_EQ(steps.decodes, 0);
    EXPECT_EQ(clock.Sleeps(), std::vector<uint32_t>{1000});  // the settle wait before opening, no more
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(Title(), "USB HID MSR Demo - Command Mode");
    EXPECT_EQ(dialog.StatusText(), "Status: Ready To Send Command...");
}

TEST_F(CorvaltDlgTest, ContextMenuOpensTheAboutBox)
{
    QString entry;
    QString aboutTitle;
    QTimer::singleShot(0, &dialog, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        entry = menu->actions().value(0)->text();
        QTimer::singleShot(0, &dialog, [&] {
            QWidget* about = QApplication::activeModalWidget();
            ASSERT_NE(about, nullptr);
            aboutTitle = about->windowTitle();
            static_cast<QDialog*>(about)->accept();
        });
        menu->actions().value(0)->trigger();
        menu->close();
    });
    const QPoint inside(5, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, inside, dialog.mapToGlobal(inside));
    QApplication::sendEvent(&dialog, &event);
    EXPECT_EQ(entry, "关于 Corvalt(&A)...");
    EXPECT_EQ(aboutTitle, "关于 Corvalt");
    EXPECT_TRUE(messageBox.texts.empty());
}

TEST_F(CorvaltDlgTest, ContextMenuSavesTheTranscriptShown)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("corvalt_dlg_test_" + std::to_string(QCoreApplication::applicationPid()));
    int asked = 0;
    dialog.m_chooseTranscriptFile = [&] {
        ++asked;
        return QString::fromStdString(path.string());
    };
    ToCommandMode();
    dialog.m_strTranscript = "Request      : CMND=02, DATA=\r\nResponse     : RC=00, DATA= 卡";
    dialog.UpdateData(false);

    QString entry;
    QTimer::singleShot(0, &dialog, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        entry = menu->actions().value(1)->text();
        menu->actions().value(1)->trigger();
        menu->close();
    });
    const QPoint inside(5, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, inside, dialog.mapToGlobal(inside));
    QApplication::sendEvent(&dialog, &event);

    EXPECT_EQ(entry, "Save Transcript As...");
    EXPECT_EQ(asked, 1);
    {
        std::ifstream in(path, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
                  "Request      : CMND=02, DATA=\r\nResponse     : RC=00, DATA= 卡");
    }  // closed: Windows removes no file that is open
    std::filesystem::remove(path);
    EXPECT_TRUE(messageBox.texts.empty());
}

TEST_F(CorvaltDlgTest, SavingTheTranscriptTellsAFailureAndACancelSavesNothing)
{
    QString chosen = "/nonexistent-folder/transcript.txt";
    dialog.m_chooseTranscriptFile = [&] { return chosen; };
    dialog.SaveTranscriptAs();
    EXPECT_EQ(messageBox.texts,
              std::vector<std::string>{"Could not save the transcript to \"/nonexistent-folder/transcript.txt\": " +
                                       testing::NoSuchFolderText()});

    messageBox.texts.clear();
    chosen.clear();
    dialog.SaveTranscriptAs();
    EXPECT_TRUE(messageBox.texts.empty());
}

}  // namespace
}  // namespace corvalt
