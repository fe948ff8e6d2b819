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

#include "app/dialog_controls.h"
#include "app/panel_settings.h"
#include "app/reader_poll.h"
#include "app/window_sizes.h"
#include "platform/message_box.h"
#include "reader/reader_connection.h"

class QStatusBar;

namespace corvalt {

constexpr int kPollIntervalMs = 300;

class CCorvaltDlg final : public QDialog, private PollWindow {
public:
    // cardSteps reads and shows card reports in HID mode; without it the
    // poll finds the reader and sets its mode up but reads nothing.
    CCorvaltDlg(ReaderConnection& reader, MessageBox& messageBox, CardReportSteps* cardSteps = nullptr,
                QWidget* parent = nullptr);

    // The widget of a template control, or nullptr.
    QWidget* GetDlgItem(int id) const { return controls_.Item(id); }

    // Data exchange: save copies the bound controls into the fields, load
    // (bSaveAndValidate false) copies the fields into the controls.
    void UpdateData(bool bSaveAndValidate);

    // Timer 1: one step of the poll.
    void OnTimer();
    void PumpMessages() override;
    void EnableConfigControls(bool enable);

    bool IsReadMode() const { return m_bReadMode != 0; }
    int PollState() const { return m_poll.State(); }
    bool IsPolling() const { return m_pollTimer.isActive(); }
    QString StatusText() const;

    // The dialog's data, bound to controls as panel_settings.h lists.
    QString m_strTranscript;   // what the transcript edit shows; lines end in CR LF
    QString m_strCardText;     // reading mode's transcript
    QString m_strCommandText;  // command mode's transcript
    bool m_bAutoAddLength = true;
    PanelSettings m_settings;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void OnInitDialog();
    void CreateStatusLine();
    void ConnectHandlers();
    void DoDataExchange(bool save);

    void OnReceiveMagneticData();
    void OnConfigurationCommand();
    void EnterSearchMode();
    void EnterCommandMode();
    void StopPolling();
    void CloseReaderAndEvent();
    void OnClearDialog();
    void OnCommandEditReturn();
    void ShowAboutBox();

    void ResizeToControl(int id, bool fullSize);
    void EnableVisibleControls();
    void EnableIfHoldsText(int buttonId, int editId);

    // PollWindow
    void ShowStatus(std::string_view text) override;
    void SetTitle(std::string_view text) override;
    void ShowEmptyCardText() override;
    void FocusTranscript() override;

    ReaderConnection& m_reader;
    MessageBox& m_messageBox;  // for the command console's reports
    DialogControls controls_;
    ReaderPoll m_poll;
    QTimer m_pollTimer;
    WindowSizes m_sizes;
    QIcon m_hIcon;
    QStatusBar* m_hStatusBar = nullptr;
    int m_bReadMode = 0;
};

}  // namespace corvalt
