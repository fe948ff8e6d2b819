// The "Virtual Reader" window: the controls of the simulated card reader.
// The user picks a sample card or edits its tracks, chooses the swipe
// direction, swipes, and unplugs or plugs in the reader. It only shows the
// reader model and passes these actions on; in keyboard mode the keys the
// reader types go to the focused widget of another window, as a real
// reader's would.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>

#include "virtualreader/virtual_reader.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace corvalt {

class VirtualReaderWindow final : public QWidget {
public:
    explicit VirtualReaderWindow(VirtualReader& reader, QWidget* parent = nullptr);

    void ShowSampleCard(int index);
    void Swipe();
    void TogglePlugged();
    void ShowReaderState();

private:
    QWidget* TypingTarget() const;

    VirtualReader& m_reader;
    QLabel* m_state = nullptr;
    QComboBox* m_samples = nullptr;
    std::array<QLineEdit*, 3> m_tracks{};
    std::array<QCheckBox*, 3> m_unreadable{};
    QRadioButton* m_insert = nullptr;
    QPushButton* m_swipe = nullptr;
    QPushButton* m_plug = nullptr;
    QLabel* m_outcome = nullptr;
    uint8_t m_encodeType = 0;
    QPointer<QWidget> m_lastFocusElsewhere;  // where keyboard mode types
    QTimer m_refresh;                        // the reader comes and goes by itself
};

}  // namespace corvalt
