// The main window's configuration panels: the enable rule of the data-format
// group, and the Apply buttons, which send the commands built in config/.
#include "app/corvalt_dlg.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>

#include "app/button_changes.h"
#include "config/error_string_commands.h"
#include "config/format_commands.h"
#include "config/interface_commands.h"
#include "config/user_sentinel_controls.h"

namespace corvalt {

void CCorvaltDlg::ConnectPanelHandlers()
{
    // An Apply clicked while a send or a download runs does nothing at all:
    // it is not run later, and the command list, the settings and the
    // controls stay as they are.
    const auto onApply = [this](QAbstractButton* apply, void (CCorvaltDlg::*handler)()) {
        connect(apply, &QAbstractButton::clicked, this, [this, handler] {
            if (!m_console.IsRunning())
                (this->*handler)();
        });
    };
    // The rule follows every change of the choice, not only a click.
    for (QAbstractButton* radio : m_widgets.m_userSentinelRuleRadios)
        OnClickOrChange(
            *radio, *this, [this] { return IsSettingControls(); }, [this] { UpdateUserSentinelControls(); });
    onApply(m_widgets.m_applyInterfaceMode, &CCorvaltDlg::OnApplyInterfaceMode);
    onApply(m_widgets.m_applyTracks, &CCorvaltDlg::OnApplyTracks);
    onApply(m_widgets.m_applyFormat, &CCorvaltDlg::OnApplyFormat);
    onApply(m_widgets.m_applyErrorString, &CCorvaltDlg::OnApplyErrorString);
    onApply(m_widgets.m_applyUserSentinelError, &CCorvaltDlg::OnApplyUserSentinelError);
}

void CCorvaltDlg::OnApplyInterfaceMode()
{
    UpdateData(true);
    DownloadCommands(BuildInterfaceModeCommands(m_settings));
    ForgetLoadedScript();
}

void CCorvaltDlg::OnApplyTracks()
{
    UpdateData(true);
    DownloadCommands(BuildTrackSelectionCommands(m_settings));
    ForgetLoadedScript();
}

void CCorvaltDlg::OnApplyFormat()
{
    UpdateData(true);
    const std::vector<std::string> commands = BuildDataFormatCommands(m_settings);
    // A specific sentinel that names no key sends nothing and changes nothing.
    if (commands.empty())
        return;
    // The edit shows the key text as it was read, trimmed.
    m_widgets.m_specificSentinelEdit->setText(QString::fromStdString(m_settings.m_strSpecificSentinel));
    DownloadCommands(commands);
    ForgetLoadedScript();
}

void CCorvaltDlg::OnApplyErrorString()
{
    UpdateData(true);
    DownloadCommands(BuildSendErrorStringCommands(m_settings));
    ForgetLoadedScript();
}

void CCorvaltDlg::OnApplyUserSentinelError()
{
    UpdateData(true);
    DownloadCommands(BuildUserSentinelErrorCommands(m_settings));
    ForgetLoadedScript();
}

// The command list no longer holds the script, so "Download" is disabled
// and the path emptied, whether or not the download ran.
void CCorvaltDlg::ForgetLoadedScript()
{
    m_widgets.m_download->setEnabled(false);
    m_widgets.m_fileEdit->clear();
}

void CCorvaltDlg::UpdateUserSentinelControls()
{
    UpdateData(true);
    const UserSentinelControlStates states =
        UserSentinelControls(m_settings.m_nDataFormat, m_settings.m_nUserSentinelMode);
    for (const auto& [enabled, widgets] : m_widgets.m_dataFormatParts) {
        for (QWidget* widget : widgets)
            widget->setEnabled(states.*enabled);
    }
    m_settings.m_bEnter = states.m_enter;
    UpdateData(false);
}

}  // namespace corvalt
