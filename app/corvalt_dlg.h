// The main window: the transcript with the two mode radios and the status
// line on top, the command console and the reader settings below.
//
// In reading mode a 300 ms timer drives the poll (reader_poll.h) and the
// window is cut off below the status line, which leaves the settings out of
// reach; in command mode the poll is stopped, the reader closed and the
// whole window shown. Each mode keeps its own transcript.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "rules/card_swipe_steps.h"
#include "app/dialog_controls.h"
#include "app/main_window_widgets.h"
#include "app/panel_settings.h"
#include "rules/reader_poll.h"
#include "rules/window_sizes.h"
#include "console/command_console.h"
#include "console/console_window.h"
#include "platform/message_box.h"
#include "reader/reader_connection.h"

class QAction;
class QLineEdit;
class QStatusBar;

namespace corvalt {

class CCorvaltDlg final : public QDialog, public CardPresenter, private PollWindow, private ConsoleWindow {
public:
    // cardSteps reads and shows card reports in HID mode; without it the
    // poll finds the reader and sets its mode up but reads nothing.
    CCorvaltDlg(ReaderConnection& reader, MessageBox& messageBox, CardReportSteps* cardSteps = nullptr,
                QWidget* parent = nullptr);

    // The widget of a template control, or nullptr.
    QWidget* GetDlgItem(int id) const { return m_controls.Item(id); }
    // The widget of a template control as the class its row makes; a
    // missing id or another class stops the program (DialogControls::Get).
    template <typename Widget>
    Widget* Control(int id) const
    {
        return m_controls.Get<Widget>(id);
    }
    // The widgets the window works with, by name.
    const MainWindowWidgets& Widgets() const { return m_widgets; }

    // Data exchange: save copies the bound controls into the fields, load
    // (bSaveAndValidate false) copies the fields into the controls.
    void UpdateData(bool bSaveAndValidate);

    // Timer 1: one step of the poll.
    void OnTimer();
    void PumpMessages() override;
    void EnableConfigControls(bool enable);
    // Shows a decoded swipe as the reading-mode transcript, replacing the
    // last one.
    void PresentCardData(const CardData& card) override;
    // Enables the data-format group's controls that matter for the chosen
    // format and user sentinel mode, and checks "Enter" with the user format.
    void UpdateUserSentinelControls();

    // "Send Command": sends the command in the command edit.
    void OnSendCommand();
    // "Download": runs the command list, m_strCommands[0 .. m_nCommandCount).
    void DownloadCommands();
    // Makes the given command lines, in normal form, the command list (at
    // most 255 of them) and runs it: how a settings panel sends its commands.
    void DownloadCommands(const std::vector<std::string>& commands);
    // Lists the script named in the file edit and makes its commands the
    // command list.
    void LoadCommandFile();
    // "Save Transcript As...": writes the transcript now shown to the file
    // the user picks; a failure is told in a message box.
    void SaveTranscriptAs();

    bool IsReadMode() const { return m_bReadMode; }
    // True in reading mode until the operator hands the keys to the window's
    // controls (ToggleKeyCapture); entering reading mode turns it on again.
    bool IsCapturingKeys() const { return m_bReadMode && m_bCaptureKeys; }
    // Hands the keys to the window's controls, or takes them back for the
    // transcript; only in reading mode.
    void ToggleKeyCapture();
    // The window's menu: "关于 Corvalt(&A)..." and "Save Transcript As...",
    // at a place on the screen; nothing while it is open already.
    void ShowWindowMenu(const QPoint& globalPos);
    int PollState() const { return m_poll.State(); }
    bool IsPolling() const { return m_pollTimer.isActive(); }
    // True while PumpMessages runs: keys handled then are not captured.
    bool IsPumpingMessages() const { return m_pumpDepth > 0; }
    QString StatusText() const;

    // The dialog's data, bound to controls as panel_settings.h lists.
    QString m_strTranscript;   // what the transcript edit shows; lines end in CR LF
    QString m_strCardText;     // reading mode's transcript
    QString m_strCommandText;  // command mode's transcript
    bool m_bAutoAddLength = true;
    CommandSlots m_strCommands;   // the command list Download runs
    int m_nCommandCount = 0;      // valid entries from slot 0
    bool m_bDownloading = false;  // true while the command list runs
    PanelSettings m_settings;
    // Asks the user for the file to save the transcript to; empty when the
    // user cancels. A file dialog unless a test answers instead.
    std::function<QString()> m_chooseTranscriptFile;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    // Closing the window stops a running send or download.
    void done(int result) override;

private:
    void OnInitDialog();
    void CreateStatusLine();
    void ConnectHandlers();
    void ConnectPanelHandlers();  // corvalt_dlg_panels.cpp

    // The configuration panels' Apply buttons (corvalt_dlg_panels.cpp).
    void OnApplyInterfaceMode();
    void OnApplyTracks();
    void OnApplyFormat();
    void OnApplyErrorString();
    void OnApplyUserSentinelError();
    void ForgetLoadedScript();
    void DoDataExchange(bool save);

    void OnReceiveMagneticData();
    void OnConfigurationCommand();
    void EnterSearchMode();
    void EnterCommandMode();
    void StopPolling();
    void OnClearDialog();
    void OnCommandEditReturn();
    void OnCommandTextChange();
    void OnAutoAddLength();
    void OnLoadFile();
    void ShowAboutBox();
    bool IsSettingControls() const { return m_bSettingControls; }

    void ResizeToControl(const QWidget& control, bool fullSize);
    // Sets the window's fixed size for command mode (fullSize) or reading
    // mode, for the frame it has now.
    void FitToSize(bool fullSize);
    void EnableVisibleControls();
    static void EnableIfHoldsText(QWidget& button, const QLineEdit& edit);

    // PollWindow
    void ShowStatus(std::string_view text) override;
    void SetTitle(std::string_view text) override;
    void ShowEmptyCardText() override;
    void ShowCardText(std::string_view text) override;
    void FocusTranscript() override;

    // Shows text in the transcript edit, and nothing else: the bound
    // choices keep what the operator set.
    void ShowTranscript(const QString& text);
    // Shows the command-mode transcript after its end `removed` was
    // replaced with `added`, changing only the end of the edit.
    void ShowCommandTextEnd(const QString& removed, const QString& added);

    // ConsoleWindow
    std::string CommandText() const override;
    bool HasCommandText() const override { return !m_strCommandText.isEmpty(); }
    void ShowCommandText(const std::string& text) override;
    void AppendCommandText(std::string_view text) override;
    bool ReplaceCommandTextEnd(std::string_view oldEnd, std::string_view newEnd) override;
    std::string CommandEditText() const override;
    void SetCommandEditText(const std::string& text) override;
    void FocusCommandEdit() override;
    void EnableDownloadButton(bool enable) override;
    void EnableForDownload(bool enable) override;
    unsigned CommandSession() const override { return m_commandSession; }

    ReaderConnection& m_reader;
    MessageBox& m_messageBox;  // for the command console's reports
    DialogControls m_controls;
    MainWindowWidgets m_widgets;
    ReaderPoll m_poll;
    QTimer m_pollTimer;
    WindowSizes m_sizes;
    QIcon m_hIcon;
    QStatusBar* m_hStatusBar = nullptr;
    bool m_bReadMode = false;
    bool m_bCaptureKeys = true;
    // True while the window sets its own controls: their handlers stay quiet.
    bool m_bSettingControls = false;
    bool m_bMenuOpen = false;                   // the window's menu is shown
    QAction* m_saveTranscriptAction = nullptr;  // also Ctrl+S
    int m_pumpDepth = 0;                        // PumpMessages calls running, nested ones included
    CommandConsole m_console;
    QString m_scriptFolder;         // where the next script is looked for
    unsigned m_commandSession = 0;  // counts mode switches and the closing
};

}  // namespace corvalt
