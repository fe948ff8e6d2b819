#include "app/virtual_reader_window.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/virtual_key_events.h"
#include "virtualreader/card_swipe_builder.h"
#include "virtualreader/sample_cards.h"

namespace corvalt {

namespace {

constexpr int kRefreshMs = 250;

// A screen reader takes a plain widget for a filler inside some other window;
// this one is a window of its own.
QAccessibleInterface* AccessibleWindow(const QString& className, QObject* object)
{
    if (className == QLatin1String("QWidget") && dynamic_cast<VirtualReaderWindow*>(object) != nullptr)
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

QString Latin1(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// A reader's ids as the window shows them: "0801:0002".
QString Ids(uint16_t vendorId, uint16_t productId)
{
    return QStringLiteral("%1:%2").arg(vendorId, 4, 16, QLatin1Char('0')).arg(productId, 4, 16, QLatin1Char('0'));
}

}  // namespace

// A dialog of the main window, not a window of its own kind: the window
// manager then keeps it above the main window, which it may overlap on a
// small screen, however often the main window is clicked.
VirtualReaderWindow::VirtualReaderWindow(VirtualReader& reader, QWidget* parent)
    : QWidget(parent, Qt::Dialog), m_reader(&reader)
{
    Build(QStringLiteral("SIMULATION: no card reader is attached. This window plays one for Corvalt."));
    connect(m_samples, &QComboBox::currentIndexChanged, this, &VirtualReaderWindow::ShowSampleCard);
    connect(m_plug, &QPushButton::clicked, this, &VirtualReaderWindow::TogglePlugged);
    connect(&m_refresh, &QTimer::timeout, this, &VirtualReaderWindow::ShowReaderState);
    m_refresh.start(kRefreshMs);
    ShowSampleCard(0);
    ShowReaderState();
}

VirtualReaderWindow::VirtualReaderWindow(ReplayedReaderHost& replay, const QString& file, QWidget* parent)
    : QWidget(parent, Qt::Dialog), m_replay(&replay), m_replayFile(file)
{
    Build(QStringLiteral("SIMULATION: no card reader is attached. This window plays one back from the "
                         "recording %1: each Swipe sends the reader's next recorded report, in the "
                         "recording's order.")
              .arg(file));
    // The recording holds the cards, and its reader stays plugged in.
    m_card->hide();
    m_plug->hide();
    // Room for the longest outcome, the end's two lines, from the start: the
    // window keeps the size it opens with.
    m_outcome->setMinimumHeight(2 * m_outcome->fontMetrics().lineSpacing());
    ShowReaderState();
}

void VirtualReaderWindow::Build(const QString& bannerText)
{
    static const bool accessibleAsWindow = (QAccessible::installFactory(&AccessibleWindow), true);
    Q_UNUSED(accessibleAsWindow);
    setWindowTitle(QStringLiteral("Virtual Reader"));
    auto* layout = new QVBoxLayout(this);

    auto* banner = new QLabel(bannerText);
    banner->setTextFormat(Qt::PlainText);  // a file's name is no markup
    banner->setStyleSheet(QStringLiteral("background: #ffd54f; color: black; padding: 6px; font-weight: bold;"));
    banner->setWordWrap(true);
    layout->addWidget(banner);
    m_state = new QLabel;
    layout->addWidget(m_state);

    m_card = new QWidget;
    auto* card = new QVBoxLayout(m_card);
    card->setContentsMargins(0, 0, 0, 0);
    auto* form = new QFormLayout;
    m_samples = new QComboBox;
    for (const SampleCard& sample : SampleCards())
        m_samples->addItem(QString::fromStdString(sample.name));
    form->addRow(QStringLiteral("Sample card:"), m_samples);
    // A screen reader names the controls after their rows.
    m_samples->setAccessibleName(QStringLiteral("Sample card"));
    for (int track = 0; track < 3; ++track) {
        auto* row = new QHBoxLayout;
        m_tracks[track] = new QLineEdit;
        m_tracks[track]->setMinimumWidth(480);
        m_tracks[track]->setAccessibleName(QStringLiteral("Track %1").arg(track + 1));
        m_unreadable[track] = new QCheckBox(QStringLiteral("Unreadable"));
        m_unreadable[track]->setAccessibleName(QStringLiteral("Track %1 unreadable").arg(track + 1));
        row->addWidget(m_tracks[track]);
        row->addWidget(m_unreadable[track]);
        form->addRow(QStringLiteral("Track %1:").arg(track + 1), row);
    }
    card->addLayout(form);

    auto* direction = new QGroupBox(QStringLiteral("Swipe direction"));
    auto* directions = new QHBoxLayout(direction);
    auto* withdrawal = new QRadioButton(QStringLiteral("Withdrawal"));
    m_insert = new QRadioButton(QStringLiteral("Insert"));
    withdrawal->setChecked(true);
    directions->addWidget(withdrawal);
    directions->addWidget(m_insert);
    directions->addStretch();
    card->addWidget(direction);
    layout->addWidget(m_card);

    auto* buttons = new QHBoxLayout;
    m_swipe = new QPushButton(QStringLiteral("Swipe"));
    m_plug = new QPushButton;
    buttons->addWidget(m_swipe);
    buttons->addWidget(m_plug);
    buttons->addStretch();
    layout->addLayout(buttons);
    m_outcome = new QLabel;
    layout->addWidget(m_outcome);

    connect(m_swipe, &QPushButton::clicked, this, &VirtualReaderWindow::Swipe);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && now->window() != this)
            m_lastFocusElsewhere = now;
    });
}

void VirtualReaderWindow::ShowSampleCard(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= SampleCards().size())
        return;
    const CardSwipe& card = SampleCards()[static_cast<size_t>(index)].swipe;
    for (size_t track = 0; track < 3; ++track) {
        m_tracks[track]->setText(Latin1(card.tracks[track]));
        m_unreadable[track]->setChecked(card.unreadable[track]);
    }
    m_encodeType = card.encodeType;
}

QWidget* VirtualReaderWindow::TypingTarget() const
{
    QWidget* focused = QApplication::focusWidget();
    if (focused != nullptr && focused->window() != this)
        return focused;
    return m_lastFocusElsewhere;
}

void VirtualReaderWindow::Swipe()
{
    if (m_replay != nullptr)
        return SwipeRecorded();
    if (!m_reader->IsListed()) {
        m_outcome->setText(QStringLiteral("The reader is not connected: the swipe goes unnoticed."));
        return;
    }
    SwipeText text;
    for (size_t track = 0; track < 3; ++track) {
        text.tracks[track] = m_tracks[track]->text().toStdString();
        text.unreadable[track] = m_unreadable[track]->isChecked();
    }
    text.encodeType = m_encodeType;
    text.direction = m_insert->isChecked() ? SwipeDirection::Insert : SwipeDirection::Withdrawal;
    const std::vector<KeyStroke> keys = m_reader->Swipe(BuildCardSwipe(text));
    if (!m_reader->IsKeyboardMode()) {
        m_outcome->setText(QStringLiteral("Swiped: the reader sent a card-data report."));
        return;
    }
    QWidget* target = TypingTarget();
    if (target == nullptr) {
        m_outcome->setText(QStringLiteral("Swiped, but no window has the keyboard focus to type into."));
        return;
    }
    TypeKeys(*target, keys);
    m_outcome->setText(QStringLiteral("Swiped: the reader typed %1 keys.").arg(keys.size()));
}

void VirtualReaderWindow::SwipeRecorded()
{
    if (m_replay->SwipeNext()) {
        m_outcome->setText(QStringLiteral("Swiped: the reader sent recorded report %1 of %2.")
                               .arg(m_replay->ReportsSwiped())
                               .arg(m_replay->Recording().reports.size()));
    }
    ShowReplayState();
}

void VirtualReaderWindow::TogglePlugged()
{
    if (m_reader->IsPluggedIn())
        m_reader->Unplug();
    else
        m_reader->PlugIn();
    m_outcome->clear();
    ShowReaderState();
}

void VirtualReaderWindow::ShowReaderState()
{
    if (m_replay != nullptr)
        return ShowReplayState();
    const QString ids = Ids(m_reader->VendorId(), m_reader->ProductId());
    if (!m_reader->IsPluggedIn())
        m_state->setText(QStringLiteral("Reader %1: unplugged").arg(ids));
    else if (m_reader->IsRestarting())
        m_state->setText(QStringLiteral("Reader %1: restarting after a reset").arg(ids));
    else
        m_state->setText(
            QStringLiteral("Reader %1: plugged in, %2 mode")
                .arg(ids, m_reader->IsKeyboardMode() ? QStringLiteral("keyboard") : QStringLiteral("HID")));
    m_plug->setText(m_reader->IsPluggedIn() ? QStringLiteral("Unplug") : QStringLiteral("Plug in"));
    m_swipe->setEnabled(m_reader->IsPluggedIn());
}

// The replayed reader is always plugged in: what changes is how far the
// swipes have gone through the recording. At its end Swipe has nothing
// more to send and is disabled.
void VirtualReaderWindow::ShowReplayState()
{
    const HidRecording& recording = m_replay->Recording();
    const size_t count = recording.reports.size();
    const size_t swiped = m_replay->ReportsSwiped();
    m_state->setText(QStringLiteral("Reader %1, replayed: %2 of %3 recorded reports swiped")
                         .arg(Ids(recording.vendorId, recording.productId))
                         .arg(swiped)
                         .arg(count));
    m_swipe->setEnabled(swiped < count);
    if (count == 0)
        m_outcome->setText(QStringLiteral("The recording holds no input report: there is nothing to swipe."));
    else if (swiped == count)
        m_outcome->setText(QStringLiteral("Swiped: the reader sent recorded report %1 of %1, the last.\n"
                                          "The recording is at its end: Swipe has nothing more to send.")
                               .arg(count));
}

}  // namespace corvalt
