// The window without a mouse: Tab and the arrow keys through command mode,
// the key that leaves reading mode's key capture, the window's menu keys,
// and the handlers that follow a change however it is made.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/corvalt_dlg.h"
#include "app/virtual_key_events.h"
#include "config/format_commands.h"
#include "rules/dialog_template.h"
#include "rules/radio_groups.h"
#include "tests/support/main_window_fixture.h"

namespace corvalt {
namespace {

using testing::MainWindowTest;

class KeyboardTest : public MainWindowTest {
protected:
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* focused = dialog.focusWidget();
        QTest::keyClick(focused != nullptr ? focused : &dialog, key, modifiers);
    }
    int FocusedId() const { return QApplication::focusWidget()->objectName().toInt(); }
    // The entries of the menu that opens when the key is pressed.
    QStringList MenuOpenedBy(Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        QStringList entries;
        QTimer::singleShot(0, &dialog, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (const QAction* action : menu->actions())
                    entries << action->text();
                menu->close();
            }
        });
        Press(key, modifiers);
        QCoreApplication::processEvents();
        return entries;
    }
};

TEST_F(KeyboardTest, TabStopsOnceAtEveryRadioGroupsCheckedButtonInTemplateOrder)
{
    ToCommandMode();
    const std::span<const ControlSpec> rows = MainDialogControls();
    const auto rowOf = [&](int id) { return std::ranges::find(rows, id, &ControlSpec::id) - rows.begin(); };
    std::vector<int> stops;
    do {
        stops.push_back(FocusedId());
        Press(Qt::Key_Tab);
    } while (FocusedId() != kCommandEditId && stops.size() < 100);

    // Once round the window, in template order from the command edit on.
    std::ranges::rotate(stops, std::ranges::min_element(stops, {}, rowOf));
    EXPECT_TRUE(std::ranges::is_sorted(stops, {}, rowOf));
    for (const RadioGroup& group : RadioGroups(rows)) {
        SCOPED_TRACE(group.members.front());
        const auto checked = std::ranges::find_if(group.members, [&](int id) { return Button(id)->isChecked(); });
        const auto visited = [&](int id) { return std::ranges::count(stops, id); };
        // The user sentinel's groups are disabled with the default format.
        if (!Button(group.members.front())->isEnabled())
            continue;
        EXPECT_EQ(std::ranges::count_if(group.members, visited), 1);
        EXPECT_EQ(visited(*checked), 1);
    }
    for (const ControlSpec& row : rows) {
        if ((row.flags & kTabStop) != 0 && Item(row.id)->isEnabled()) {
            EXPECT_EQ(std::ranges::count(stops, row.id), 1) << row.id;
        }
    }
}

TEST_F(KeyboardTest, ArrowsMoveTheChoiceInsideAGroupAndItsRuleFollows)
{
    ToCommandMode();
    Button(1049)->setFocus();  // the checked format
    EXPECT_EQ(Enabled({1076, 1077, 1078, 1080}), std::set<int>{});

    Press(Qt::Key_Down);

    EXPECT_EQ(FocusedId(), 1060);
    EXPECT_TRUE(Button(1060)->isChecked());
    // "USERSS + Data + USERES +" with the specific sentinel: "Enter" and the
    // user sentinel mode on, the literal sentinel off.
    EXPECT_EQ(Enabled({1076, 1077, 1078, 1080}), (std::set<int>{1076, 1080}));
}

// The arrow keys go round a group in its order, wherever its buttons stand.
TEST_F(KeyboardTest, ArrowsGoRoundAGroupInItsOrder)
{
    ToCommandMode();
    const struct {
        int from;
        Qt::Key key;
        int to;
    } cases[] = {
        {1085, Qt::Key_Down, 1086},   // a row: Down is the next
        {1086, Qt::Key_Right, 1085},  // round at the end
        {1085, Qt::Key_Up, 1086},    {1042, Qt::Key_Down, 1043},
        {1042, Qt::Key_Left, 1044},  {1060, Qt::Key_Right, 1046},  // the format group's last, apart from the rest
        {1046, Qt::Key_Left, 1060},  {1060, Qt::Key_Up, 1049},
    };
    for (const auto& [from, key, to] : cases) {
        Click(from);
        Button(from)->setFocus();
        Press(key);
        EXPECT_EQ(FocusedId(), to) << from;
        EXPECT_TRUE(Button(to)->isChecked()) << from;
    }
}

TEST_F(KeyboardTest, ShiftF6LeavesTheKeyCaptureForTheControlsAndBringsItBack)
{
    QPlainTextEdit* transcript = dialog.Widgets().m_transcript;
    ASSERT_EQ(QApplication::focusWidget(), transcript);
    Press(Qt::Key_F6, Qt::ShiftModifier);
    Press(Qt::Key_Tab);
    EXPECT_EQ(FocusedId(), kReceiveMagneticDataId);
    Press(Qt::Key_Right);  // to "Configuration Command And Response"
    EXPECT_FALSE(dialog.IsReadMode());
    EXPECT_EQ(dialog.windowTitle(), "USB HID MSR Demo - Command Mode");
    QCoreApplication::processEvents();
    EXPECT_EQ(FocusedId(), kCommandEditId);  // ready to type a command

    ToReadingMode();  // captures again, whatever it was left at
    Press(Qt::Key_F6, Qt::ShiftModifier);
    Press(Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), transcript);
    Press(Qt::Key_Tab);
    Press(Qt::Key_Escape);
    EXPECT_EQ(dialog.m_strTranscript, " TAB  ESC ");
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(KeyboardTest, MenuKeyAndShiftF10OpenTheWindowsMenuInBothModes)
{
    const QStringList entries = {"关于 Corvalt(&A)...", "Save Transcript As..."};
    for (const bool readMode : {true, false}) {
        SCOPED_TRACE(readMode);
        readMode ? ToReadingMode() : ToCommandMode();
        EXPECT_EQ(MenuOpenedBy(Qt::Key_Menu, Qt::NoModifier), entries);
        EXPECT_EQ(MenuOpenedBy(Qt::Key_F10, Qt::ShiftModifier), entries);
        EXPECT_EQ(dialog.m_strTranscript, "");  // nothing captured
    }
}

TEST_F(KeyboardTest, CtrlSSavesTheTranscriptOutsideTheKeyCapture)
{
    int asked = 0;
    dialog.m_chooseTranscriptFile = [&] {
        ++asked;
        return QString();
    };
    Press(Qt::Key_S, Qt::ControlModifier);  // captured: a reader may send it
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(dialog.m_strTranscript, " CTRL+S ");
    ToCommandMode();
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(asked, 1);
}

// A reader in keyboard mode can be made to send any key the data-format
// panel names as a specific sentinel, with Ctrl and Alt: none of them may
// take the keys from the transcript or open a window. (Characters, the
// rest it can send, come with Shift at most.)
TEST_F(KeyboardTest, NoKeyAReaderCanBeMadeToSendLeavesTheKeyCapture)
{
    std::vector<std::string> sentinels = {"ESC",  "DEL",  "TAB",  "F10",   "F11",   "F12",   "INS",   "END",
                                          "HOME", "PGUP", "PGDN", "ENTER", "SPACE", "PRTSC", "PAUSE", "SCROLL"};
    for (char digit = '1'; digit <= '9'; ++digit)
        sentinels.push_back(std::string("F") + digit);
    int opened = 0;  // the window's menu or its save dialog
    dialog.m_chooseTranscriptFile = [&] { return ++opened, QString(); };
    QTimer closeMenus;
    QObject::connect(&closeMenus, &QTimer::timeout, [&] {
        if (QWidget* popup = QApplication::activePopupWidget())
            opened += popup->close() ? 1 : 0;
    });
    closeMenus.start(0);
    std::vector<std::string> leaving;
    for (const std::string& sentinel : sentinels) {
        for (const int modifiers : {0, 1, 2, 3}) {
            PanelSettings settings;
            settings.m_nDataFormat = 4;  // the user format, its specific sentinel
            settings.m_strSpecificSentinel = sentinel;
            settings.m_bCtrl = modifiers & 1;
            settings.m_bAlt = modifiers >> 1;
            // "10 1B 53 SS MM KK": the modifiers and the key come last.
            const std::string line = BuildDataFormatCommands(settings).at(0);
            const auto byteAt = [&](size_t fromEnd) {
                return static_cast<uint8_t>(std::stoi(line.substr(line.size() - fromEnd, 2), nullptr, 16));
            };
            TypeKeys(*dialog.Widgets().m_transcript, {KeyCodeStroke(byteAt(5), byteAt(2))});
            if (!dialog.IsCapturingKeys()) {
                leaving.push_back(line);
                dialog.ToggleKeyCapture();
            }
        }
    }
    EXPECT_EQ(leaving, std::vector<std::string>{});
    EXPECT_EQ(opened, 0);
    // Function keys are written into the transcript by name.
    EXPECT_TRUE(dialog.m_strTranscript.contains(" F6  CTRL+F6  ALT+F6  CTRL+ALT+F6 "));
}

// A change made without a click runs the click's handler, once; a click
// still runs it once.
TEST_F(KeyboardTest, HandlersFollowChangesMadeWithoutAClick)
{
    const auto toggleAction = [&](int id) {
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(Button(id));
        button->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    };
    const std::function<void(int)> ways[] = {
        toggleAction,
        [&](int id) { Button(id)->setChecked(!Button(id)->isChecked()); },
        [&](int id) { Click(id); },
    };
    for (const auto& change : ways) {
        ToReadingMode();
        change(kConfigurationCommandId);
        EXPECT_FALSE(dialog.IsReadMode());
        const bool autoAddLength = dialog.m_bAutoAddLength;
        change(kAutoAddLengthId);
        EXPECT_EQ(dialog.m_bAutoAddLength, !autoAddLength);
        EXPECT_EQ(dialog.m_bAutoAddLength, Button(kAutoAddLengthId)->isChecked());
        change(1060);  // the user format turns "Enter" on
        EXPECT_TRUE(Item(1076)->isEnabled());
        Button(1049)->click();
    }
}

}  // namespace
}  // namespace corvalt
