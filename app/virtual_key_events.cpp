#include "app/virtual_key_events.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "config/key_codes.h"

namespace corvalt {

namespace {

// Qt's key for a character: letters by their capital, the other Latin-1
// characters by their own code.
int QtKeyOf(char character)
{
    const auto ch = static_cast<unsigned char>(character);
    if (ch == '\r')
        return Qt::Key_Return;
    if (ch == '\t')
        return Qt::Key_Tab;
    if (ch >= 'a' && ch <= 'z')
        return Qt::Key_A + (ch - 'a');
    return ch;
}

// Qt's key for a USB keyboard key code that types no character.
int QtKeyOf(uint8_t keyCode)
{
    if (keyCode >= 0x3A && keyCode <= 0x45)
        return Qt::Key_F1 + (keyCode - 0x3A);
    if (keyCode >= 0x1E && keyCode <= 0x26)
        return Qt::Key_1 + (keyCode - 0x1E);
    switch (keyCode) {
    case 0x27: return Qt::Key_0;
    case 0x29: return Qt::Key_Escape;
    case 0x2A: return Qt::Key_Backspace;
    case 0x46: return Qt::Key_Print;
    case 0x47: return Qt::Key_ScrollLock;
    case 0x48: return Qt::Key_Pause;
    case 0x49: return Qt::Key_Insert;
    case 0x4A: return Qt::Key_Home;
    case 0x4B: return Qt::Key_PageUp;
    case 0x4C: return Qt::Key_Delete;
    case 0x4D: return Qt::Key_End;
    case 0x4E: return Qt::Key_PageDown;
    case 0x4F: return Qt::Key_Right;
    case 0x50: return Qt::Key_Left;
    case 0x51: return Qt::Key_Down;
    case 0x52: return Qt::Key_Up;
    default: return Qt::Key_unknown;
    }
}

Qt::KeyboardModifiers QtModifiersOf(uint8_t modifiers)
{
    Qt::KeyboardModifiers qt;
    if (modifiers & kModifierCtrl)
        qt |= Qt::ControlModifier;
    if (modifiers & kModifierShift)
        qt |= Qt::ShiftModifier;
    if (modifiers & kModifierAlt)
        qt |= Qt::AltModifier;
    return qt;
}

}  // namespace

void TypeKeys(QWidget& target, const std::vector<KeyStroke>& keys)
{
    for (const KeyStroke& stroke : keys) {
        const Qt::KeyboardModifiers modifiers = QtModifiersOf(stroke.modifiers);
        const int key = stroke.character != 0 ? QtKeyOf(stroke.character) : QtKeyOf(stroke.key);
        // With Ctrl or Alt held a key types no text.
        const bool typesText = stroke.character != 0 && !(modifiers & (Qt::ControlModifier | Qt::AltModifier));
        const QString text = typesText ? QString(QChar(static_cast<unsigned char>(stroke.character))) : QString();
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(&target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(&target, &release);
    }
}

}  // namespace corvalt
