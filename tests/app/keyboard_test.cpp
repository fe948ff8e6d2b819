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
#include <vector>

#include "app/corvalt_dlg.h"
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

TEST_F(KeyboardTest, F6LeavesTheKeyCaptureForTheControlsAndBringsItBack)
{
    QPlainTextEdit* transcript = dialog.Widgets().m_transcript;
    ASSERT_EQ(QApplication::focusWidget(), transcript);
    Press(Qt::Key_F6);
    Press(Qt::Key_Tab);
    EXPECT_EQ(FocusedId(), kReceiveMagneticDataId);
    Press(Qt::Key_Right);  // to "Configuration Command And Response"
    EXPECT_FALSE(dialog.IsReadMode());
    EXPECT_EQ(dialog.windowTitle(), "USB HID MSR Demo - Command Mode");
    QCoreApplication::processEvents();
    EXPECT_EQ(FocusedId(), kCommandEditId);  // ready to type a command

    ToReadingMode();  // captures again, whatever it was left at
    Press(Qt::Key_F6);
    Press(Qt::Key_F6);
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
