#include "app/corvalt_dlg.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMoveEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextDocument>

#include "app/about_dlg.h"
#include "app/app_identity.h"
#include "app/button_changes.h"
#include "app/centre_on_screen.h"
#include "app/key_capture.h"
#include "app/qt_text.h"
#include "app/raw_text.h"
#include "rules/transcript_file.h"
#include "rules/window_texts.h"
#include "carddata/card_text.h"
#include "console/console_texts.h"

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

CCorvaltDlg::CCorvaltDlg(ReaderConnection& reader, MessageBox& messageBox, CardReportSteps* cardSteps, QWidget* parent)
    : QDialog(parent),
      m_reader(reader),
      m_messageBox(messageBox),
      m_controls(*this, MainDialogControls(), kMainDialogCaptionSources),
      m_widgets(m_controls),
      m_poll(reader, *this, cardSteps),
      m_hIcon(ApplicationIcon()),
      m_console(reader, messageBox, *this,
                ConsoleFields{m_strCommands, m_nCommandCount, m_bDownloading, m_bAutoAddLength})
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(ToQString(kTitle));
    setFixedSize(DialogXToPixels(kMainDialogSize.width, m_controls.Scale()),
                 DialogYToPixels(kMainDialogSize.height, m_controls.Scale()));
    m_pollTimer.setInterval(kPollIntervalMs);
    ConnectHandlers();
    OnInitDialog();
    KeyCapture::Install(*this);
    CentreOnScreen::Install(*this, QSize(m_sizes.Full().width, m_sizes.Full().height));
}

void CCorvaltDlg::ConnectHandlers()
{
    const MainWindowWidgets& w = m_widgets;
    connect(w.m_clearDialog, &QAbstractButton::clicked, this, &CCorvaltDlg::OnClearDialog);
    const auto quiet = [this] { return IsSettingControls(); };
    // The mode radios and "Auto Add Length" act on every change, however
    // made: a screen reader toggles them without a click.
    OnClickOrChange(*w.m_receiveMagneticData, *this, quiet, [this] { OnReceiveMagneticData(); });
    OnClickOrChange(*w.m_configurationCommand, *this, quiet, [this] { OnConfigurationCommand(); });
    connect(w.m_commandEdit, &QLineEdit::returnPressed, this, &CCorvaltDlg::OnCommandEditReturn);
    // Like the edit's change notification, this also follows texts the
    // program sets.
    connect(w.m_commandEdit, &QLineEdit::textChanged, this, &CCorvaltDlg::OnCommandTextChange);
    connect(w.m_sendCommand, &QAbstractButton::clicked, this, &CCorvaltDlg::OnSendCommand);
    OnClickOrChange(*w.m_autoAddLength, *this, quiet, [this] { OnAutoAddLength(); });
    connect(w.m_loadFile, &QAbstractButton::clicked, this, &CCorvaltDlg::OnLoadFile);
    connect(w.m_download, &QAbstractButton::clicked, this, [this] { DownloadCommands(); });
    connect(&m_pollTimer, &QTimer::timeout, this, &CCorvaltDlg::OnTimer);
    m_saveTranscriptAction = new QAction(ToQString(kSaveTranscriptMenuEntry), this);
    m_saveTranscriptAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(m_saveTranscriptAction, &QAction::triggered, this, &CCorvaltDlg::SaveTranscriptAs);
    addAction(m_saveTranscriptAction);
    ConnectPanelHandlers();
}

void CCorvaltDlg::OnInitDialog()
{
    QScopedValueRollback settingControls(m_bSettingControls, true);
    UpdateData(false);
    setWindowIcon(m_hIcon);
    CreateStatusLine();
    StopPolling();
    CloseReader(m_reader);
    EnableConfigControls(false);
    m_widgets.m_receiveMagneticData->setChecked(true);
    m_widgets.m_autoAddLength->setChecked(m_bAutoAddLength);
    m_widgets.m_track2->setCheckState(ToCheckState(m_settings.m_bTrack2));
    m_bReadMode = false;
    OnReceiveMagneticData();
}

void CCorvaltDlg::CreateStatusLine()
{
    QFrame* frame = m_widgets.m_statusFrame;
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
    QScopedValueRollback settingControls(m_bSettingControls, m_bSettingControls || !save);
    if (save)
        m_strTranscript = FromEditText(m_widgets.m_transcript->toPlainText());
    else
        ShowTranscript(m_strTranscript);

    for (const IntBinding& binding : kRadioBindings) {
        if (save)
            m_settings.*binding.field = m_controls.CheckedIndex(binding.controlId);
        else
            m_controls.SetCheckedIndex(binding.controlId, m_settings.*binding.field);
    }
    for (const auto& [box, field] : m_widgets.m_checkFields) {
        if (save)
            m_settings.*field = FromCheckState(box->checkState());
        else
            box->setCheckState(ToCheckState(m_settings.*field));
    }
    for (const auto& [edit, field] : m_widgets.m_textFields) {
        if (save)
            m_settings.*field = edit->text().toStdString();
        else
            edit->setText(QString::fromStdString(m_settings.*field));
    }
}

void CCorvaltDlg::ShowTranscript(const QString& text)
{
    m_strTranscript = text;
    QPlainTextEdit* transcript = m_widgets.m_transcript;
    transcript->setPlainText(ToEditText(text));
    // From here on, a change is the operator's typing.
    transcript->document()->setModified(false);
}

void CCorvaltDlg::ShowCommandTextEnd(const QString& removed, const QString& added)
{
    QTextDocument* document = m_widgets.m_transcript->document();
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
    ++m_pumpDepth;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    --m_pumpDepth;
}

void CCorvaltDlg::OnReceiveMagneticData()
{
    if (m_bReadMode)
        return;
    ++m_commandSession;
    CloseReader(m_reader);
    EnterSearchMode();
    m_bReadMode = true;
    m_bCaptureKeys = true;
    EnableConfigControls(false);
    ResizeToControl(*m_widgets.m_statusFrame, false);
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
    if (!m_bReadMode)
        return;
    ++m_commandSession;
    StopPolling();
    EnterCommandMode();
    m_bReadMode = false;
    ResizeToControl(*m_widgets.m_statusFrame, true);
    EnableConfigControls(true);
    ShowStatus(kStatusReadyToSendCommand);
    EnableIfHoldsText(*m_widgets.m_sendCommand, *m_widgets.m_commandEdit);
    EnableIfHoldsText(*m_widgets.m_download, *m_widgets.m_fileEdit);
    UpdateUserSentinelControls();
    // The command edit takes the focus only now that it is enabled. Chosen
    // with an arrow key, the radio takes the focus back after this click:
    // the edit takes it once more after that.
    m_widgets.m_commandEdit->setFocus();
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_bReadMode && focusWidget() == m_widgets.m_configurationCommand)
                m_widgets.m_commandEdit->setFocus();
        },
        Qt::QueuedConnection);
}

void CCorvaltDlg::EnterCommandMode()
{
    // The reader stays closed until a command needs it.
    InitReaderConnection(m_reader);
    ShowTranscript(m_strCommandText);
    SetTitle(kTitleCommandMode);
}

void CCorvaltDlg::EnableIfHoldsText(QWidget& button, const QLineEdit& edit)
{
    button.setEnabled(!edit.text().isEmpty());
}

void CCorvaltDlg::StopPolling()
{
    m_pollTimer.stop();
    m_poll.Stop();
    CloseReader(m_reader);
}

void CCorvaltDlg::OnClearDialog()
{
    QString& text = m_bReadMode ? m_strCardText : m_strCommandText;
    text.clear();
    ShowTranscript(text);
    FocusTranscript();
}

void CCorvaltDlg::OnCommandEditReturn()
{
    // Enter sends the command; it never ends the program.
    QPushButton* send = m_widgets.m_sendCommand;
    if (send->isEnabled())
        send->click();
}

void CCorvaltDlg::EnableConfigControls(bool enable)
{
    for (QWidget* control : m_widgets.m_configControls)
        control->setEnabled(enable);
}

void CCorvaltDlg::ResizeToControl(const QWidget& control, bool fullSize)
{
    m_sizes.CaptureOnce(ToRect(rect()), ToRect(QRect(control.mapTo(this, QPoint(0, 0)), control.size())));
    FitToSize(fullSize);
    EnableVisibleControls();
}

void CCorvaltDlg::FitToSize(bool fullSize)
{
    const int bottomBorder = frameGeometry().bottom() - geometry().bottom();
    const Size size = fullSize ? m_sizes.Full() : m_sizes.Reduced(bottomBorder);
    // A fixed size: the window keeps its place and the user cannot resize it.
    setFixedSize(size.width, size.height);
}

void CCorvaltDlg::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    // The frame is known only once the window is shown, and may change with
    // the desktop: reading mode's height follows its bottom border.
    if (m_bReadMode && m_sizes.IsCaptured())
        FitToSize(false);
}

// The controls sit in the group boxes, the boxes in the window. A box cut
// off by the window is hidden too, controls and all, so that a screen reader
// does not announce what cannot be seen; its controls keep their state.
void CCorvaltDlg::EnableVisibleControls()
{
    const Rect window = ToRect(rect());
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        const bool inWindow = Intersects(ToRect(child->geometry()), window);
        child->setEnabled(inWindow);
        child->setVisible(inWindow);
    }
}

void CCorvaltDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        // Esc ends the program only in command mode: in reading mode a
        // reader that types card data may send it.
        if (!m_bReadMode)
            reject();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter presses the button that has the focus and never ends the
        // program, which would lose both transcripts.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        break;
    default: QDialog::keyPressEvent(event); return;
    }
    event->accept();
}

void CCorvaltDlg::contextMenuEvent(QContextMenuEvent* event)
{
    ShowWindowMenu(event->globalPos());
}

void CCorvaltDlg::ShowWindowMenu(const QPoint& globalPos)
{
    // One menu at a time: a key may open it twice, as a key and as the
    // context-menu event the system makes of it.
    if (m_bMenuOpen)
        return;
    QScopedValueRollback menuOpen(m_bMenuOpen, true);
    QMenu menu(this);
    connect(menu.addAction(ToQString(kAboutMenuEntry)), &QAction::triggered, this, &CCorvaltDlg::ShowAboutBox);
    menu.addAction(m_saveTranscriptAction);
    menu.exec(globalPos);
}

void CCorvaltDlg::ToggleKeyCapture()
{
    if (!m_bReadMode)
        return;
    m_bCaptureKeys = !m_bCaptureKeys;
    // Captured keys and a reader's typing go to the transcript.
    if (m_bCaptureKeys)
        FocusTranscript();
}

void CCorvaltDlg::SaveTranscriptAs()
{
    // Taken before the dialog runs its own event loop.
    const QString shown = m_widgets.m_transcript->toPlainText();
    const QString path = m_chooseTranscriptFile
                             ? m_chooseTranscriptFile()
                             : QFileDialog::getSaveFileName(this, ToQString(kSaveTranscriptTitle), QString(),
                                                            ToQString(kSaveTranscriptFilter));
    if (path.isEmpty())
        return;
    const Result<> saved = WriteTranscriptFile(ToPath(path), shown.toStdString());
    if (!saved.Succeeded())
        m_messageBox.Show(saved.m_reason);
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
    m_widgets.m_transcript->setFocus();
}

}  // namespace corvalt
