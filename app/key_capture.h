// Reading mode's key capture: while the main window reads card data, a key
// without a character, or any key with Ctrl or Alt, is written into the
// transcript by name (" F5 ", " CTRL+A ") instead of acting on the window.
// A reader that types as a keyboard can send such keys, and they must
// neither go unseen nor press buttons or close the window.
//
// A few keys stay the window's in both modes, because no reader can be made
// to send them: a reader sends the keys that config/key_codes.cpp and the
// data-format panel name (F1 to F12 among them), with Ctrl or Alt, and Shift
// only with a character. Shift+F6 hands the keys to the window's controls in
// reading mode and takes them back, and Shift+F10 and the Menu key open the
// window's menu.
#pragma once

#include <QObject>

#include <string>

namespace corvalt {

class CCorvaltDlg;

class KeyCapture final : public QObject {
public:
    // Watches every key press addressed to the dialog or to any of its
    // controls, for as long as the dialog lives.
    static void Install(CCorvaltDlg& dialog);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit KeyCapture(CCorvaltDlg& dialog);
    bool IsForDialog(const QObject* watched) const;
    // Handles the window's own keys; true when the event was one.
    bool HandleWindowKey(QObject* watched, QEvent* event);
    void WriteToTranscript(const std::string& name);

    CCorvaltDlg& m_dialog;
};

}  // namespace corvalt
