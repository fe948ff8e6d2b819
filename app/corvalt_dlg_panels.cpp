// The main window's configuration panels: the enable rule of the data-format
// group, and the Apply buttons, which send the commands built in config/.
#include "app/corvalt_dlg.h"

#include <QAbstractButton>
#include <QLineEdit>

#include "app/dialog_template.h"
#include "config/error_string_commands.h"
#include "config/format_commands.h"
#include "config/interface_commands.h"
#include "config/user_sentinel_controls.h"

namespace corvalt {

namespace {

// The format and user sentinel mode radios run the enable rule when clicked;
// the rule's other controls do not.
constexpr int kUserSentinelRuleRadios[] = {1046, 1047, 1048, 1049, 1060, 1080, 1081, 1082};

constexpr int kApplyInterfaceModeId = 1035;
constexpr int kApplyTracksId = 1041;
constexpr int kApplyFormatId = 1053;
constexpr int kApplyErrorStringId = 1087;
constexpr int kApplyUserSentinelErrorId = 1090;
constexpr int kSpecificSentinelEditId = 1075;

}  // namespace

void CCorvaltDlg::ConnectPanelHandlers()
{
    const auto onClick = [this](int id, void (CCorvaltDlg::*handler)()) {
        connect(static_cast<QAbstractButton*>(GetDlgItem(id)), &QAbstractButton::clicked, this, handler);
    };
    // An Apply clicked while a send or a download runs does nothing at all:
    // it is not run later, and the command list, the settings and the
    // controls stay as they are.
    const auto onApply = [this](int id, void (CCorvaltDlg::*handler)()) {
        connect(static_cast<QAbstractButton*>(GetDlgItem(id)), &QAbstractButton::clicked, this, [this, handler] {
            if (!m_console.IsRunning())
                (this->*handler)();
        });
    };
    for (int id : kUserSentinelRuleRadios)
        onClick(id, &CCorvaltDlg::UpdateUserSentinelControls);
    onApply(kApplyInterfaceModeId, &CCorvaltDlg::OnApplyInterfaceMode);
    onApply(kApplyTracksId, &CCorvaltDlg::OnApplyTracks);
    onApply(kApplyFormatId, &CCorvaltDlg::OnApplyFormat);
    onApply(kApplyErrorStringId, &CCorvaltDlg::OnApplyErrorString);
    onApply(kApplyUserSentinelErrorId, &CCorvaltDlg::OnApplyUserSentinelError);
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
    static_cast<QLineEdit*>(GetDlgItem(kSpecificSentinelEditId))
        ->setText(QString::fromStdString(m_settings.m_strSpecificSentinel));
    DownloadCommands(commands);
    ForgetLoadedScript();
}

// The error string options leave "Download" and the path as the download
// left them: enabled, with the option's one line as the command list.
void CCorvaltDlg::OnApplyErrorString()
{
    UpdateData(true);
    DownloadCommands(BuildSendErrorStringCommands(m_settings));
}

void CCorvaltDlg::OnApplyUserSentinelError()
{
    UpdateData(true);
    DownloadCommands(BuildUserSentinelErrorCommands(m_settings));
}

// The command list no longer holds the script, so "Download" is disabled
// and the path emptied, whether or not the download ran.
void CCorvaltDlg::ForgetLoadedScript()
{
    GetDlgItem(kDownloadId)->setEnabled(false);
    static_cast<QLineEdit*>(GetDlgItem(kFileEditId))->clear();
}

void CCorvaltDlg::UpdateUserSentinelControls()
{
    UpdateData(true);
    const UserSentinelControlStates states =
        UserSentinelControls(m_settings.m_nDataFormat, m_settings.m_nUserSentinelMode);
    for (const ControlEnable& control : states.controls)
        GetDlgItem(control.id)->setEnabled(control.enabled);
    m_settings.m_bEnter = states.enter;
    UpdateData(false);
}

}  // namespace corvalt
