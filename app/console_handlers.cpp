// The main window's command console: its buttons and edits wired to the
// console (console/command_console.h), and the window side of what the
// console asks of it.
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/corvalt_dlg.h"
#include "app/qt_text.h"

namespace corvalt {

namespace {

// Two choices, text files first.
constexpr const char* kScriptFileFilters = "Txt File(*.txt);;All Files(*.*)";

}  // namespace

void CCorvaltDlg::OnSendCommand()
{
    m_console.SendCommand();
}

void CCorvaltDlg::DownloadCommands()
{
    m_console.DownloadCommands();
}

void CCorvaltDlg::DownloadCommands(const std::vector<std::string>& commands)
{
    m_console.DownloadCommands(commands);
}

void CCorvaltDlg::OnCommandTextChange()
{
    if (m_bDownloading)
        return;
    // Any character counts, blanks included.
    m_widgets.m_sendCommand->setEnabled(!CommandEditText().empty());
}

void CCorvaltDlg::OnAutoAddLength()
{
    m_bAutoAddLength = !m_bAutoAddLength;
}

void CCorvaltDlg::OnLoadFile()
{
    const QString folder = m_scriptFolder.isEmpty() ? QDir::homePath() : m_scriptFolder;
    const QString path = QFileDialog::getOpenFileName(this, QString(), folder, QString::fromLatin1(kScriptFileFilters));
    if (path.isEmpty())
        return;
    m_scriptFolder = QFileInfo(path).absolutePath();
    m_widgets.m_fileEdit->setText(QDir::toNativeSeparators(path));
    LoadCommandFile();
}

void CCorvaltDlg::LoadCommandFile()
{
    const QString path = m_widgets.m_fileEdit->text();
    m_console.LoadCommandFile(ToPath(path));
}

std::string CCorvaltDlg::CommandText() const
{
    return m_strCommandText.toStdString();
}

void CCorvaltDlg::ShowCommandText(const std::string& text)
{
    m_strCommandText = ToQString(text);
    ShowTranscript(m_strCommandText);
}

void CCorvaltDlg::AppendCommandText(std::string_view text)
{
    const QString added = ToQString(text);
    m_strCommandText += added;
    // In reading mode the card transcript is shown; this text waits for
    // the switch back.
    if (!m_bReadMode)
        ShowCommandTextEnd(QString(), added);
}

bool CCorvaltDlg::ReplaceCommandTextEnd(std::string_view oldEnd, std::string_view newEnd)
{
    const QString removed = ToQString(oldEnd);
    if (!m_strCommandText.endsWith(removed))
        return false;
    const QString added = ToQString(newEnd);
    m_strCommandText.chop(removed.size());
    m_strCommandText += added;
    ShowCommandTextEnd(removed, added);
    return true;
}

std::string CCorvaltDlg::CommandEditText() const
{
    return m_widgets.m_commandEdit->text().toStdString();
}

void CCorvaltDlg::SetCommandEditText(const std::string& text)
{
    QLineEdit* edit = m_widgets.m_commandEdit;
    const QString newText = QString::fromStdString(text);
    // Qt tells of no change when the text stays the same; the button
    // follows the edit all the same.
    const bool unchanged = edit->text() == newText;
    edit->setText(newText);
    if (unchanged)
        OnCommandTextChange();
}

void CCorvaltDlg::FocusCommandEdit()
{
    m_widgets.m_commandEdit->setFocus();
}

void CCorvaltDlg::EnableDownloadButton(bool enable)
{
    m_widgets.m_download->setEnabled(enable);
}

void CCorvaltDlg::EnableForDownload(bool enable)
{
    m_widgets.m_receiveMagneticData->setEnabled(enable);
    m_widgets.m_configurationCommand->setEnabled(enable);
    EnableConfigControls(enable);
}

void CCorvaltDlg::done(int result)
{
    ++m_commandSession;
    QDialog::done(result);
}

}  // namespace corvalt
