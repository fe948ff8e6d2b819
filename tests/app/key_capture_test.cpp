// Reading mode's key capture with real key events: which keys are written by
// name, that they then do nothing else, which keys keep their usual
// handling, and that command mode captures nothing.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTest>

#include "app/corvalt_dlg.h"
#include "rules/dialog_template.h"
#include "tests/support/main_window_fixture.h"

namespace corvalt {
namespace {

using testing::MainWindowTest;

class KeyCaptureTest : public MainWindowTest {
protected:
    QPlainTextEdit* Transcript() const { return dialog.Widgets().m_transcript; }
    void StartWith(const QString& text)
    {
        dialog.m_strTranscript = text;
        dialog.UpdateData(false);
        Transcript()->setFocus();
    }
    // The transcript as the dialog reads it back from the edit.
    QString Saved()
    {
        dialog.UpdateData(true);
        return dialog.m_strTranscript;
    }
    bool CaretAtEnd() const
    {
        return Transcript()->textCursor().position() == Transcript()->document()->characterCount() - 1;
    }
};

struct KeyCase {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QString written;
};

TEST_F(KeyCaptureTest, KeysWithoutACharacterAndCtrlOrAltCombinationsAreWrittenByName)
{
    const KeyCase cases[] = {
        {Qt::Key_F5, Qt::NoModifier, " F5 "},
        {Qt::Key_F12, Qt::NoModifier, " F12 "},
        {Qt::Key_A, Qt::ControlModifier, " CTRL+A "},
        {Qt::Key_Insert, Qt::ControlModifier | Qt::AltModifier, " CTRL+ALT+INS "},
        {Qt::Key_F4, Qt::AltModifier, " ALT+F4 "},
        {Qt::Key_Space, Qt::AltModifier, " ALT+SPACE "},
        {Qt::Key_Tab, Qt::NoModifier, " TAB "},
        {Qt::Key_Backtab, Qt::ShiftModifier, " TAB "},
        {Qt::Key_Escape, Qt::NoModifier, " ESC "},
        {Qt::Key_Left, Qt::NoModifier, " LEFT "},
        {Qt::Key_Up, Qt::NoModifier, " UP "},
        {Qt::Key_Right, Qt::NoModifier, " RIGHT "},
        {Qt::Key_Down, Qt::NoModifier, " DOWN "},
        {Qt::Key_Space, Qt::NoModifier, " SPACE "},
        {Qt::Key_PageUp, Qt::NoModifier, " PAGE UP "},
        {Qt::Key_Backspace, Qt::NoModifier, " BACKSPACE "},
        {Qt::Key_Delete, Qt::NoModifier, " DEL "},
        {Qt::Key_Print, Qt::NoModifier, " PrtSc "},
        {Qt::Key_Return, Qt::ControlModifier, " CTRL+\r "},
        {Qt::Key_Percent, Qt::ControlModifier | Qt::ShiftModifier, " CTRL+5 "},
        {Qt::Key_Semicolon, Qt::ControlModifier, " CTRL+\u00BA "},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.written.toStdString());
        StartWith("typed");

        QTest::keyClick(Transcript(), c.key, c.modifiers);

        EXPECT_EQ(dialog.m_strTranscript, "typed" + c.written);
        EXPECT_TRUE(CaretAtEnd());
        EXPECT_EQ(QApplication::focusWidget(), Transcript());
        EXPECT_TRUE(dialog.isVisible());
    }
}

TEST_F(KeyCaptureTest, CapturedKeysDoNotActOnTheFocusedButton)
{
    StartWith("kept");
    auto* clear = dialog.GetDlgItem(kClearDialogId);
    clear->setFocus();

    QTest::keyClick(clear, Qt::Key_Space);

    EXPECT_EQ(Saved(), "kept SPACE ");
    EXPECT_EQ(QApplication::focusWidget(), clear);
}

TEST_F(KeyCaptureTest, ModifiersAloneAndPlainCharactersKeepTheirUsualHandling)
{
    const KeyCase cases[] = {
        {Qt::Key_Control, Qt::ControlModifier, "typed"}, {Qt::Key_Alt, Qt::AltModifier, "typed"},
        {Qt::Key_Shift, Qt::ShiftModifier, "typed"},     {Qt::Key_Return, Qt::NoModifier, "typed\r\n"},
        {Qt::Key_Q, Qt::NoModifier, "typedq"},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.written.toStdString());
        StartWith("typed");
        Transcript()->moveCursor(QTextCursor::End);

        QTest::keyClick(Transcript(), c.key, c.modifiers);

        EXPECT_EQ(Saved(), c.written);
    }
}

TEST_F(KeyCaptureTest, KeysHandledWhileTheWindowPumpsMessagesAreNotCaptured)
{
    StartWith("swipe");
    QCoreApplication::postEvent(Transcript(), new QKeyEvent(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier));

    dialog.PumpMessages();  // as a poll step does while it processes a swipe

    EXPECT_EQ(Saved(), "swipe");
}

TEST_F(KeyCaptureTest, CommandModeCapturesNothing)
{
    ToCommandMode();
    StartWith("command");

    QTest::keyClick(Transcript(), Qt::Key_F5);
    QTest::keyClick(Transcript(), Qt::Key_A, Qt::ControlModifier);

    EXPECT_EQ(Saved(), "command");
}

}  // namespace
}  // namespace corvalt
