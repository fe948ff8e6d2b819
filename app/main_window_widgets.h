// The main window's widgets that the program works with, each looked up
// once by its template id when the window is built and checked to be the
// class its row makes (DialogControls::Get): a control missing from the
// template, or of another class, stops the program at once instead of
// when it is first used.
#pragma once

#include <string>
#include <vector>

#include "app/dialog_controls.h"
#include "config/panel_settings.h"
#include "config/user_sentinel_controls.h"

class QAbstractButton;
class QCheckBox;
class QFrame;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace corvalt {

struct MainWindowWidgets {
    explicit MainWindowWidgets(const DialogControls& controls);

    // The top area.
    QPlainTextEdit* m_transcript;
    QRadioButton* m_receiveMagneticData;
    QRadioButton* m_configurationCommand;
    QPushButton* m_clearDialog;
    QFrame* m_statusFrame;

    // The command console.
    QLineEdit* m_commandEdit;
    QPushButton* m_sendCommand;
    QCheckBox* m_autoAddLength;
    QLineEdit* m_fileEdit;
    QPushButton* m_loadFile;
    QPushButton* m_download;

    // The settings panels.
    QCheckBox* m_track2;
    QLineEdit* m_specificSentinelEdit;
    QPushButton* m_applyInterfaceMode;
    QPushButton* m_applyTracks;
    QPushButton* m_applyFormat;
    QPushButton* m_applyErrorString;
    QPushButton* m_applyUserSentinelError;
    std::vector<QAbstractButton*> m_userSentinelRuleRadios;

    // Blocks that are switched on and off together.
    std::vector<QWidget*> m_configControls;
    struct DataFormatPartWidgets {
        bool UserSentinelControlStates::*m_enabled;
        std::vector<QWidget*> m_widgets;
    };
    std::vector<DataFormatPartWidgets> m_dataFormatParts;

    // The panel settings' check boxes and edits, in data-exchange order.
    template <typename Widget, typename Field>
    struct Bound {
        Widget* m_widget;
        Field PanelSettings::*m_field;
    };
    std::vector<Bound<QCheckBox, int>> m_checkFields;
    std::vector<Bound<QLineEdit, std::string>> m_textFields;
};

}  // namespace corvalt
