#include "app/main_window_widgets.h"

#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/config_controls.h"
#include "rules/dialog_template.h"
#include "app/panel_settings.h"

namespace corvalt {

namespace {

template <typename Widget, typename Ids>
std::vector<Widget*> Resolve(const DialogControls& controls, const Ids& ids)
{
    std::vector<Widget*> widgets;
    for (int id : ids)
        widgets.push_back(controls.Get<Widget>(id));
    return widgets;
}

}  // namespace

MainWindowWidgets::MainWindowWidgets(const DialogControls& controls)
    : m_transcript(controls.Get<QPlainTextEdit>(kTranscriptEditId)),
      m_receiveMagneticData(controls.Get<QRadioButton>(kReceiveMagneticDataId)),
      m_configurationCommand(controls.Get<QRadioButton>(kConfigurationCommandId)),
      m_clearDialog(controls.Get<QPushButton>(kClearDialogId)),
      m_statusFrame(controls.Get<QFrame>(kStatusFrameId)),
      m_commandEdit(controls.Get<QLineEdit>(kCommandEditId)),
      m_sendCommand(controls.Get<QPushButton>(kSendCommandId)),
      m_autoAddLength(controls.Get<QCheckBox>(kAutoAddLengthId)),
      m_fileEdit(controls.Get<QLineEdit>(kFileEditId)),
      m_loadFile(controls.Get<QPushButton>(kLoadFileId)),
      m_download(controls.Get<QPushButton>(kDownloadId)),
      m_track2(controls.Get<QCheckBox>(kTrack2Id)),
      m_specificSentinelEdit(controls.Get<QLineEdit>(kSpecificSentinelEditId)),
      m_applyInterfaceMode(controls.Get<QPushButton>(kApplyInterfaceModeId)),
      m_applyTracks(controls.Get<QPushButton>(kApplyTracksId)),
      m_applyFormat(controls.Get<QPushButton>(kApplyFormatId)),
      m_applyErrorString(controls.Get<QPushButton>(kApplyErrorStringId)),
      m_applyUserSentinelError(controls.Get<QPushButton>(kApplyUserSentinelErrorId)),
      m_userSentinelRuleRadios(Resolve<QAbstractButton>(controls, kUserSentinelRuleRadioIds)),
      m_configControls(Resolve<QWidget>(controls, kConfigControlIds))
{
    for (const DataFormatPart& part : kDataFormatParts)
        m_dataFormatParts.push_back({part.m_enabled, Resolve<QWidget>(controls, part.m_ids)});
    for (const IntBinding& binding : kCheckBindings)
        m_checkFields.push_back({controls.Get<QCheckBox>(binding.controlId), binding.field});
    for (const TextBinding& binding : kTextBindings)
        m_textFields.push_back({controls.Get<QLineEdit>(binding.controlId), binding.field});
}

}  // namespace corvalt
