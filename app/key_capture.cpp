#include "app/key_capture.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>

#include <string>

#include "app/corvalt_dlg.h"
#include "rules/key_names.h"

namespace corvalt {

namespace {

// The key's virtual-key code as a US keyboard gives it: letters and digits
// as their upper-case characters, shifted punctuation as its key. 0 for
// keys without one.
uint8_t VirtualKeyOf(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return static_cast<uint8_t>(vk::kNumpad0 + (key - Qt::Key_0));
        switch (key) {
        case Qt::Key_Asterisk: return vk::kMultiply;
        case Qt::Key_Plus: return vk::kAdd;
        case Qt::Key_Minus: return vk::kSubtract;
        case Qt::Key_Period:
        case Qt::Key_Comma: return vk::kDecimal;
        case Qt::Key_Slash: return vk::kDivide;
        default: break;  // the navigation keys of the keypad: as below
        }
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<uint8_t>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<uint8_t>(vk::kF1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return vk::kBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vk::kTab;
    case Qt::Key_Clear: return vk::kClear;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vk::kReturn;
    case Qt::Key_Shift: return vk::kShift;
    case Qt::Key_Control: return vk::kControl;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return vk::kMenu;
    case Qt::Key_Pause: return vk::kPause;
    case Qt::Key_CapsLock: return vk::kCapital;
    case Qt::Key_Escape: return vk::kEscape;
    case Qt::Key_Space: return vk::kSpace;
    case Qt::Key_PageUp: return vk::kPrior;
    case Qt::Key_PageDown: return vk::kNext;
    case Qt::Key_End: return vk::kEnd;
    case Qt::Key_Home: return vk::kHome;
    case Qt::Key_Left: return vk::kLeft;
    case Qt::Key_Up: return vk::kUp;
    case Qt::Key_Right: return vk::kRight;
    case Qt::Key_Down: return vk::kDown;
    case Qt::Key_Print: return vk::kSnapshot;
    case Qt::Key_Insert: return vk::kInsert;
    case Qt::Key_Delete: return vk::kDelete;
    case Qt::Key_Meta: return vk::kLeftWindows;
    case Qt::Key_Menu: return vk::kApps;
    case Qt::Key_NumLock: return vk::kNumLock;
    case Qt::Key_ScrollLock: return vk::kScroll;
    // Shifted digits.
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    // Punctuation keys, plain and shifted.
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return vk::kOem1;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return vk::kOemPlus;
    case Qt::Key_Comma:
    case Qt::Key_Less: return vk::kOemComma;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return vk::kOemMinus;
    case Qt::Key_Period:
    case Qt::Key_Greater: return vk::kOemPeriod;
    case Qt::Key_Slash:
    case Qt::Key_Question: return vk::kOem2;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return vk::kOem3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return vk::kOem4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return vk::kOem5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return vk::kOem6;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return vk::kOem7;
    default: return 0;
    }
}

}  // namespace

void KeyCapture::Install(CCorvaltDlg& dialog)
{
    qApp->installEventFilter(new KeyCapture(dialog));
}

KeyCapture::KeyCapture(CCorvaltDlg& dialog) : QObject(&dialog), m_dialog(dialog) {}

bool KeyCapture::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride && type != QEvent::ContextMenu)
        return false;
    if (!IsForDialog(watched))
        return false;
    if (HandleWindowKey(watched, event))
        return true;
    if (type == QEvent::ContextMenu)
        return false;
    const bool keyPress = type == QEvent::KeyPress;
    // Keys handled while the window pumps its messages in the middle of
    // processing a swipe reach their controls as usual.
    if (!m_dialog.IsCapturingKeys() || m_dialog.IsPumpingMessages())
        return false;

    const auto* key = static_cast<QKeyEvent*>(event);
    const uint8_t virtualKey = VirtualKeyOf(key->key(), key->modifiers());
    if (virtualKey == 0)
        return false;
    const std::string name = CapturedKeyName(virtualKey, (key->modifiers() & Qt::ControlModifier) != 0,
                                             (key->modifiers() & Qt::AltModifier) != 0);
    if (name.empty())
        return false;

    // Claiming the shortcut check keeps the key from triggering a shortcut:
    // it then arrives as the key press captured here.
    event->accept();
    if (keyPress)
        WriteToTranscript(name);
    return true;
}

bool KeyCapture::HandleWindowKey(QObject* watched, QEvent* event)
{
    // Some systems also send a keyboard context-menu event for the Menu key
    // or Shift+F10: the window's menu answers it too, once.
    if (event->type() == QEvent::ContextMenu) {
        if (static_cast<QContextMenuEvent*>(event)->reason() != QContextMenuEvent::Keyboard)
            return false;
        const auto* widget = static_cast<QWidget*>(watched);
        m_dialog.ShowWindowMenu(widget->mapToGlobal(widget->rect().center()));
        return true;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    const bool menuKey = key->key() == Qt::Key_Menu && modifiers == Qt::NoModifier;
    const bool shiftF10 = key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier;
    const bool captureKey = key->key() == Qt::Key_F6 && modifiers == Qt::ShiftModifier && m_dialog.IsReadMode();
    if (!menuKey && !shiftF10 && !captureKey)
        return false;
    event->accept();
    if (event->type() != QEvent::KeyPress)
        return true;
    if (captureKey) {
        m_dialog.ToggleKeyCapture();
    } else {
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), QPoint());
        HandleWindowKey(watched, &menu);
    }
    return true;
}

bool KeyCapture::IsForDialog(const QObject* watched) const
{
    const auto* widget = qobject_cast<const QWidget*>(watched);
    return widget != nullptr && widget->window() == &m_dialog;
}

void KeyCapture::WriteToTranscript(const std::string& name)
{
    // Keep what a keyboard-mode reader has typed into the transcript so far.
    m_dialog.UpdateData(true);
    m_dialog.m_strTranscript += QLatin1Char(' ') + QString::fromLatin1(name) + QLatin1Char(' ');
    m_dialog.UpdateData(false);
    QPlainTextEdit* transcript = m_dialog.Widgets().m_transcript;
    transcript->moveCursor(QTextCursor::End);
    transcript->ensureCursorVisible();
}

}  // namespace corvalt
