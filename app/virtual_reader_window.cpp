#include "app/virtual_reader_window.h"

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
#include "virtualreader/sample_cards.h"

namespace corvalt {

namespace {

constexpr int kRefreshMs = 250;

QString Latin1(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromLatin1(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

}  // namespace

VirtualReaderWindow::VirtualReaderWindow(VirtualReader& reader, QWidget* parent)
    : QWidget(parent, Qt::Window), reader_(reader)
{
    setWindowTitle(QStringLiteral("Virtual Reader"));
    auto* layout = new QVBoxLayout(this);

    auto* banner = new QLabel(QStringLiteral("SIMULATION: no card reader is attached. "
                                             "This window plays one for Corvalt."));
    banner->setStyleSheet(QStringLiteral("background: #ffd54f; color: black; padding: 6px; font-weight: bold;"));
    banner->setWordWrap(true);
    layout->addWidget(banner);
    state_ = new QLabel;
    layout->addWidget(state_);

    auto* form = new QFormLayout;
    samples_ = new QComboBox;
    for (const SampleCard& card : SampleCards())
        samples_->addItem(QString::fromStdString(card.name));
    form->addRow(QStringLiteral("Sample card:"), samples_);
    for (int track = 0; track < 3; ++track) {
        auto* row = new QHBoxLayout;
        tracks_[track] = new QLineEdit;
        tracks_[track]->setMinimumWidth(480);
        unreadable_[track] = new QCheckBox(QStringLiteral("Unreadable"));
        row->addWidget(tracks_[track]);
        row->addWidget(unreadable_[track]);
        form->addRow(QStringLiteral("Track %1:").arg(track + 1), row);
    }
    layout->addLayout(form);

    auto* direction = new QGroupBox(QStringLiteral("Swipe direction"));
    auto* directions = new QHBoxLayout(direction);
    auto* withdrawal = new QRadioButton(QStringLiteral("Withdrawal"));
    insert_ = new QRadioButton(QStringLiteral("Insert"));
    withdrawal->setChecked(true);
    directions->addWidget(withdrawal);
    directions->addWidget(insert_);
    directions->addStretch();
    layout->addWidget(direction);

    auto* buttons = new QHBoxLayout;
    swipe_ = new QPushButton(QStringLiteral("Swipe"));
    plug_ = new QPushButton;
    buttons->addWidget(swipe_);
    buttons->addWidget(plug_);
    buttons->addStretch();
    layout->addLayout(buttons);
    outcome_ = new QLabel;
    layout->addWidget(outcome_);

    connect(samples_, &QComboBox::currentIndexChanged, this, &VirtualReaderWindow::ShowSampleCard);
    connect(swipe_, &QPushButton::clicked, this, &VirtualReaderWindow::Swipe);
    connect(plug_, &QPushButton::clicked, this, &VirtualReaderWindow::TogglePlugged);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && now->window() != this)
            lastFocusElsewhere_ = now;
    });
    connect(&refresh_, &QTimer::timeout, this, &VirtualReaderWindow::ShowReaderState);
    refresh_.start(kRefreshMs);

    ShowSampleCard(0);
    ShowReaderState();
}

void VirtualReaderWindow::ShowSampleCard(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= SampleCards().size())
        return;
    const CardSwipe& card = SampleCards()[static_cast<size_t>(index)].swipe;
    for (size_t track = 0; track < 3; ++track) {
        tracks_[track]->setText(Latin1(card.tracks[track]));
        unreadable_[track]->setChecked(card.unreadable[track]);
    }
    encodeType_ = card.encodeType;
}

QWidget* VirtualReaderWindow::TypingTarget() const
{
    QWidget* focused = QApplication::focusWidget();
    if (focused != nullptr && focused->window() != this)
        return focused;
    return lastFocusElsewhere_;
}

void VirtualReaderWindow::Swipe()
{
    if (!reader_.IsListed()) {
        outcome_->setText(QStringLiteral("The reader is not connected: the swipe goes unnoticed."));
        return;
    }
    CardSwipe card;
    for (size_t track = 0; track < 3; ++track) {
        card.tracks[track] = FromLatin1(tracks_[track]->text());
        card.unreadable[track] = unreadable_[track]->isChecked();
    }
    card.encodeType = encodeType_;
    card.direction = insert_->isChecked() ? SwipeDirection::Insert : SwipeDirection::Withdrawal;
    const std::vector<KeyStroke> keys = reader_.Swipe(card);
    if (!reader_.IsKeyboardMode()) {
        outcome_->setText(QStringLiteral("Swiped: the reader sent a card-data report."));
        return;
    }
    QWidget* target = TypingTarget();
    if (target == nullptr) {
        outcome_->setText(QStringLiteral("Swiped, but no window has the keyboard focus to type into."));
        return;
    }
    TypeKeys(*target, keys);
    outcome_->setText(QStringLiteral("Swiped: the reader typed %1 keys.").arg(keys.size()));
}

void VirtualReaderWindow::TogglePlugged()
{
    if (reader_.IsPluggedIn())
        reader_.Unplug();
    else
        reader_.PlugIn();
    outcome_->clear();
    ShowReaderState();
}

void VirtualReaderWindow::ShowReaderState()
{
    const QString ids = QStringLiteral("%1:%2")
                            .arg(reader_.VendorId(), 4, 16, QLatin1Char('0'))
                            .arg(reader_.ProductId(), 4, 16, QLatin1Char('0'));
    if (!reader_.IsPluggedIn())
        state_->setText(QStringLiteral("Reader %1: unplugged").arg(ids));
    else if (reader_.IsRestarting())
        state_->setText(QStringLiteral("Reader %1: restarting after a reset").arg(ids));
    else
        state_->setText(QStringLiteral("Reader %1: plugged in, %2 mode")
                            .arg(ids, reader_.IsKeyboardMode() ? QStringLiteral("keyboard") : QStringLiteral("HID")));
    plug_->setText(reader_.IsPluggedIn() ? QStringLiteral("Unplug") : QStringLiteral("Plug in"));
    swipe_->setEnabled(reader_.IsPluggedIn());
}

}  // namespace corvalt
