#include "app/corvalt_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextDocument>

#include "app/about_dlg.h"
#include "app/centre_on_screen.h"
#include "app/config_controls.h"
#include "app/key_capture.h"
#include "app/qt_text.h"
#include "app/raw_text.h"
#include "app/transcript_file.h"
#include "app/window_texts.h"
#include "carddata/card_text.h"

namespace corvalt {

namespace {

Rect ToRect(const QRect& rect)
{
    return {rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height()};
}

// Check fields count 0 unchecked, 1 checked, 2 indeterminate.
Qt::CheckState ToCheckState(int check)
{
    return check == 1 ? Qt::Checked : check == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

int FromCheckState(Qt::CheckState state)
{
    return state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
}

// The dialog's texts end their lines in CR LF; the edit shows line breaks.
QString ToEditText(const QString& text)
{
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString FromEditText(const QString& text)
{
    return QString(text).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

}  // namespace

CCorvaltDlg::CCorvaltDlg(ReaderConnection& reader, MessageBox& messageBox, CardReportSteps* cardSteps,
                         QWidget* parent)
    : QDialog(parent),
      m_reader(reader),
      m_messageBox(messageBox),
      controls_(*this, MainDialogControls(), kMainDialogCaptionSources),
      m_poll(reader, *this, cardSteps),
      m_hIcon(QStringLiteral(":/corvalt.svg")),
      m_console(reader, messageBox, *this,
                ConsoleFields{m_strCommands, m_nCommandCount, m_bDownloading, m_bAutoAddLength})
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(ToQString(kTitle));
    setFixedSize(DialogXToPixels(kMainDialogSize.width, controls_.Scale()),
                 DialogYToPixels(kMainDialogSize.height, controls_.Scale()));
    m_pollTimer.setInterval(kPollIntervalMs);
    ConnectHandlers();
    OnInitDialog();
    KeyCapture::Install(*this);
    CentreOnScreen::Install(*this, QSize(m_sizes.Full().width, m_sizes.Full().height));
}

void CCorvaltDlg::ConnectHandlers()
{
    const auto button = [this](int id) { return static_cast<QAbstractButton*>(GetDlgItem(id)); };
    connect(button(kClearDialogId), &QAbstractButton::clicked, this, &CCorvaltDlg::OnClearDialog);
    connect(button(kReceiveMagneticDataId), &QAbstractButton::clicked, this, &CCorvaltDlg::OnReceiveMagneticData);
    connect(button(kConfigurationCommandId), &QAbstractButton::clicked, this, &CCorvaltDlg::OnConfigurationCommand);
    connect(static_cast<QLineEdit*>(GetDlgItem(kCommandEditId)), &QLineEdit::returnPressed, this,
            &CCorvaltDlg::OnCommandEditReturn);
    // Like the edit's change notification, this also follows texts the
    // program sets.
    connect(static_cast<QLineEdit*>(GetDlgItem(kCommandEditId)), &QLineEdit::textChanged, this,
            &CCorvaltDlg::OnCommandTextChange);
    connect(button(kSendCommandId), &QAbstractButton::clicked, this, &CCorvaltDlg::OnSendCommand);
    connect(button(kAutoAddLengthId), &QAbstractButton::clicked, this, &CCorvaltDlg::OnAutoAddLength);
    connect(button(kLoadFileId), &QAbstractButton::clicked, this, &CCorvaltDlg::OnLoadFile);
    connect(button(kDownloadId), &QAbstractButton::clicked, this, [this] { DownloadCommands(); });
    connect(&m_pollTimer, &QTimer::timeout, this, &CCorvaltDlg::OnTimer);
    ConnectPanelHandlers();
}

void CCorvaltDlg::OnInitDialog()
{
    UpdateData(false);
    setWindowIcon(m_hIcon);
    CreateStatusLine();
    StopPolling();
    CloseReader(m_reader);
    EnableConfigControls(false);
    static_cast<QRadioButton*>(GetDlgItem(kReceiveMagneticDataId))->setChecked(true);
    static_cast<QCheckBox*>(GetDlgItem(kAutoAddLengthId))->setChecked(m_bAutoAddLength);
    static_cast<QCheckBox*>(GetDlgItem(1051))->setCheckState(ToCheckState(m_settings.m_bTrack2));
    m_bReadMode = 0;
    OnReceiveMagneticData();
}

void CCorvaltDlg::CreateStatusLine()
{
    auto* frame = static_cast<QFrame*>(GetDlgItem(kStatusFrameId));
    m_hStatusBar = new QStatusBar(frame);
    m_hStatusBar->setSizeGripEnabled(false);
    m_hStatusBar->setGeometry(frame->contentsRect());
    m_hStatusBar->showMessage(ToQString(kStatusInitial));
}

QString CCorvaltDlg::StatusText() const
{
    return m_hStatusBar->currentMessage();
}

void CCorvaltDlg::UpdateData(bool bSaveAndValidate)
{
    DoDataExchange(bSaveAndValidate);
}

void CCorvaltDlg::DoDataExchange(bool save)
{
    if (save)
        m_strTranscript = FromEditText(static_cast<QPlainTextEdit*>(GetDlgItem(kTranscriptEditId))->toPlainText());
    else
        ShowTranscript(m_strTranscript);

    for (const IntBinding& binding : kRadioBindings) {
        if (save)
            m_settings.*binding.field = controls_.CheckedIndex(binding.controlId);
        else
            controls_.SetCheckedIndex(binding.controlId, m_settings.*binding.field);
    }
    for (const IntBinding& binding : kCheckBindings) {
        auto* box = static_cast<QCheckBox*>(GetDlgItem(binding.controlId));
        if (save)
            m_settings.*binding.field = FromCheckState(box->checkState());
        else
            box->setCheckState(ToCheckState(m_settings.*binding.field));
    }
    for (const TextBinding& binding : kTextBindings) {
        auto* edit = static_cast<QLineEdit*>(GetDlgItem(binding.controlId));
        if (save)
            m_settings.*binding.field = edit->text().toStdString();
        else
            edit->setText(QString::fromStdString(m_settings.*binding.field));
    }
}

void CCorvaltDlg::ShowTranscript(const QString& text)
{
    m_strTranscript = text;
    auto* transcript = static_cast<QPlainTextEdit*>(GetDlgItem(kTranscriptEditId));
    transcript->setPlainText(ToEditText(text));
    // From here on, a change is the operator's typing.
    transcript->document()->setModified(false);
}

void CCorvaltDlg::ShowCommandTextEnd(const QString& removed, const QString& added)
{
    QTextDocument* document = static_cast<QPlainTextEdit*>(GetDlgItem(kTranscriptEditId))->document();
    // Text the operator typed into the transcript goes, as at any refresh.
    if (document->isModified() || !m_strTranscript.endsWith(removed)) {
        ShowTranscript(m_strCommandText);
        return;
    }
    QTextCursor end(document);
    end.movePosition(QTextCursor::End);
    end.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor,
                     static_cast<int>(ToEditText(removed).size()));
    m_strTranscript.chop(removed.size());
    m_strTranscript += added;
    // Nothing to undo, as after setting the whole text.
    document->setUndoRedoEnabled(false);
    end.insertText(ToEditText(added));
    document->setUndoRedoEnabled(true);
    document->setModified(false);
}

void CCorvaltDlg::OnTimer()
{
    m_poll.PollReader();
}

void CCorvaltDlg::PumpMessages()
{
    ++m_nPumpDepth;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    --m_nPumpDepth;
}

void CCorvaltDlg::OnReceiveMagneticData()
{
    if (m_bReadMode == 1)
        return;
    ++m_nCommandSession;
    CloseReader(m_reader);
    EnterSearchMode();
    m_bReadMode = 1;
    EnableConfigControls(false);
    ResizeToControl(kStatusFrameId, false);
    ShowStatus(kStatusReadyForReading);
}

void CCorvaltDlg::EnterSearchMode()
{
    InitReaderConnection(m_reader);
    m_pollTimer.start();
    m_poll.Restart();
    ShowTranscript(m_strCardText);
    FocusTranscript();
    SetTitle(kTitleSearching);
}

void CCorvaltDlg::OnConfigurationCommand()
{
    if (m_bReadMode == 0)
        return;
    ++m_nCommandSession;
    StopPolling();
    EnterCommandMode();
    m_bReadMode = 0;
    ResizeToControl(kStatusFrameId, true);
    EnableConfigControls(true);
    ShowStatus(kStatusReadyToSend);
    EnableIfHoldsText(kSendCommandId, kCommandEditId);
    EnableIfHoldsText(kDownloadId, kFileEditId);
    UpdateUserSentinelControls();
    // The command edit takes the focus only now that it is enabled.
    GetDlgItem(kCommandEditId)->setFocus();
}

void CCorvaltDlg::EnterCommandMode()
{
    // The reader stays closed until a command needs it.
    InitReaderConnection(m_reader);
    ShowTranscript(m_strCommandText);
    SetTitle(kTitleCommandMode);
}

void CCorvaltDlg::EnableIfHoldsText(int buttonId, int editId)
{
    GetDlgItem(buttonId)->setEnabled(!static_cast<QLineEdit*>(GetDlgItem(editId))->text().isEmpty());
}

void CCorvaltDlg::StopPolling()
{
    m_pollTimer.stop();
    m_poll.Stop();
    CloseReader(m_reader);
}

void CCorvaltDlg::OnClearDialog()
{
    QString& text = m_bReadMode != 0 ? m_strCardText : m_strCommandText;
    text.clear();
    ShowTranscript(text);
    FocusTranscript();
}

void CCorvaltDlg::OnCommandEditReturn()
{
    // Enter sends the command; it never ends the program.
    auto* send = static_cast<QPushButton*>(GetDlgItem(kSendCommandId));
    if (send->isEnabled())
        send->click();
}

void CCorvaltDlg::EnableConfigControls(bool enable)
{
    for (int id : kConfigControlIds)
        GetDlgItem(id)->setEnabled(enable);
}

void CCorvaltDlg::ResizeToControl(int id, bool fullSize)
{
    m_sizes.CaptureOnce(ToRect(rect()), ToRect(GetDlgItem(id)->geometry()));
    const Size size = fullSize ? m_sizes.Full() : m_sizes.Reduced();
    // A fixed size: the window keeps its place and the user cannot resize it.
    setFixedSize(size.width, size.height);
    EnableVisibleControls();
}

void CCorvaltDlg::EnableVisibleControls()
{
    const Rect window = ToRect(rect());
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow())
            child->setEnabled(Intersects(ToRect(child->geometry()), window));
    }
}

void CCorvaltDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        // Esc ends the program only in command mode: in reading mode a
        // reader that types card data may send it.
        if (m_bReadMode == 0)
            reject();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter presses the button that has the focus and never ends the
        // program, which would lose both transcripts.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        break;
    default:
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CCorvaltDlg::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    connect(menu.addAction(ToQString(kAboutMenuEntry)), &QAction::triggered, this, &CCorvaltDlg::ShowAboutBox);
    connect(menu.addAction(ToQString(kSaveTranscriptMenuEntry)), &QAction::triggered, this,
            &CCorvaltDlg::SaveTranscriptAs);
    menu.exec(event->globalPos());
}

void CCorvaltDlg::SaveTranscriptAs()
{
    // Taken before the dialog runs its own event loop.
    const QString shown = static_cast<QPlainTextEdit*>(GetDlgItem(kTranscriptEditId))->toPlainText();
    const QString path = m_chooseTranscriptFile ? m_chooseTranscriptFile()
                                                : QFileDialog::getSaveFileName(this, ToQString(kSaveTranscriptTitle),
                                                                               QString(), ToQString(kSaveTranscriptFilter));
    if (path.isEmpty())
        return;
    std::string errorText;
    if (!WriteTranscriptFile(QFile::encodeName(path).toStdString(), shown.toStdString(), errorText))
        m_messageBox.Show(errorText);
}

void CCorvaltDlg::ShowAboutBox()
{
    CAboutDlg about(m_hIcon, this);
    about.exec();
}

void CCorvaltDlg::ShowStatus(std::string_view text)
{
    m_hStatusBar->showMessage(ToQString(text));
}

void CCorvaltDlg::SetTitle(std::string_view text)
{
    setWindowTitle(ToQString(text));
}

void CCorvaltDlg::ShowEmptyCardText()
{
    m_strCardText.clear();
    ShowTranscript(m_strCardText);
}

void CCorvaltDlg::ShowCardText(std::string_view text)
{
    m_strCardText = ToQString(text);
    ShowTranscript(m_strCardText);
}

void CCorvaltDlg::PresentCardData(const CardData& card)
{
    m_strCardText = RawBytesToQString(FormatCardText(card, m_reader.Attributes.ProductID));
    ShowTranscript(m_strCardText);
}

void CCorvaltDlg::FocusTranscript()
{
    GetDlgItem(kTranscriptEditId)->setFocus();
}

}  // namespace corvalt
