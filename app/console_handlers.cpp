// The main window's command console: its buttons and edits wired to the
// console (console/command_console.h), and the window side of what the
// console asks of it.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include "app/config_controls.h"
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
    const size_t count = std::min(commands.size(), m_strCommands.size());
    std::copy_n(commands.begin(), count, m_strCommands.begin());
    m_nCommandCount = static_cast<int>(count);
    DownloadCommands();
}

void CCorvaltDlg::OnCommandTextChange()
{
    if (m_bDownloading != 0)
        return;
    // Any character counts, blanks included.
    GetDlgItem(kSendCommandId)->setEnabled(!CommandEditText().empty());
}

void CCorvaltDlg::OnAutoAddLength()
{
    m_bAutoAddLength = !m_bAutoAddLength;
}

void CCorvaltDlg::OnLoadFile()
{
    const QString folder = m_strScriptFolder.isEmpty() ? QDir::homePath() : m_strScriptFolder;
    const QString path = QFileDialog::getOpenFileName(this, QString(), folder, QString::fromLatin1(kScriptFileFilters));
    if (path.isEmpty())
        return;
    m_strScriptFolder = QFileInfo(path).absolutePath();
    static_cast<QLineEdit*>(GetDlgItem(kFileEditId))->setText(QDir::toNativeSeparators(path));
    LoadCommandFile();
}

void CCorvaltDlg::LoadCommandFile()
{
    const QString path = static_cast<QLineEdit*>(GetDlgItem(kFileEditId))->text();
    m_console.LoadCommandFile(QFile::encodeName(path).toStdString());
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
    return static_cast<QLineEdit*>(GetDlgItem(kCommandEditId))->text().toStdString();
}

void CCorvaltDlg::SetCommandEditText(const std::string& text)
{
    auto* edit = static_cast<QLineEdit*>(GetDlgItem(kCommandEditId));
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
    GetDlgItem(kCommandEditId)->setFocus();
}

void CCorvaltDlg::EnableDownloadButton(bool enable)
{
    GetDlgItem(kDownloadId)->setEnabled(enable);
}

void CCorvaltDlg::EnableForDownload(bool enable)
{
    GetDlgItem(kReceiveMagneticDataId)->setEnabled(enable);
    GetDlgItem(kConfigurationCommandId)->setEnabled(enable);
    EnableConfigControls(enable);
}

void CCorvaltDlg::done(int result)
{
    ++m_nCommandSession;
    QDialog::done(result);
}

}  // namespace corvalt
