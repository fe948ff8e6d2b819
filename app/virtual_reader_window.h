// The "Virtual Reader" window: the controls of the simulated card reader.
// The user picks a sample card or edits its tracks, chooses the swipe
// direction, swipes, and unplugs or plugs in the reader. It only shows the
// reader model and passes these actions on; in keyboard mode the keys the
// reader types go to the focused widget of another window, as a real
// reader's would.
//
// For a reader replayed from a recording (--replay) it has no card to edit
// and no plug: each swipe sends the recording's next input report, until
// the last one has been sent.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>

#include "recording/replayed_reader_host.h"
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
    // file: the recording's file as the command line named it.
    VirtualReaderWindow(ReplayedReaderHost& replay, const QString& file, QWidget* parent = nullptr);

    void ShowSampleCard(int index);
    void Swipe();
    void TogglePlugged();
    void ShowReaderState();

private:
    // Makes the window's controls, under a banner with this text.
    void Build(const QString& banner);
    QWidget* TypingTarget() const;
    void SwipeRecorded();
    void ShowReplayState();

    VirtualReader* m_reader = nullptr;       // the virtual reader, or
    ReplayedReaderHost* m_replay = nullptr;  // the recording replayed
    QString m_replayFile;
    QLabel* m_state = nullptr;
    QWidget* m_card = nullptr;  // the card's tracks and direction
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
