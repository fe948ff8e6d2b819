// The program's main window for a test, headless: a simulated HID host, a
// clock that never waits and recorded message boxes, the window shown and
// made the active one so that focus and keys behave as on a desktop.
#pragma once

#include <gtest/gtest.h>

#include <QString>

#include <initializer_list>
#include <set>
#include <span>

#include "app/corvalt_dlg.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_hid_host.h"
#include "tests/support/recording_message_box.h"

class QAbstractButton;
class QLineEdit;

namespace corvalt::testing {

class MainWindowTest : public ::testing::Test {
public:  // table-driven cases arrange themselves through the fixture
    // cardSteps as the window takes them: they must be made before the
    // fixture, e.g. in a base class listed before it.
    explicit MainWindowTest(CardReportSteps* cardSteps = nullptr);

    // Controls by template id: any widget, or one of the class asked for.
    QWidget* Item(int id) const { return dialog.GetDlgItem(id); }
    QAbstractButton* Button(int id) const;
    QLineEdit* Edit(int id) const;
    // The transcript as its edit shows it, lines ending in LF.
    QString Shown() const;

    void Click(int id);
    void ToCommandMode() { Click(kConfigurationCommandId); }
    void ToReadingMode() { Click(kReceiveMagneticDataId); }
    // Timer ticks of the reading-mode poll.
    void Ticks(int count);

    // The ids of the enabled controls among the given ones.
    std::set<int> Enabled(std::span<const int> ids) const;
    std::set<int> Enabled(std::initializer_list<int> ids) const { return Enabled(std::span(ids.begin(), ids.end())); }

    FakeHidHost host;
    FakeClock clock;
    ReaderConnection reader{host, clock};
    RecordingMessageBox messageBox;
    CCorvaltDlg dialog;
};

}  // namespace corvalt::testing
