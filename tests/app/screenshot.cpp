// Draws the main window in command mode, offscreen, into the PNG file named
// on the command line (the README's screenshot).
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>

#include "app/corvalt_dlg.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_hid_host.h"
#include "tests/support/recording_message_box.h"

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    corvalt::testing::FakeHidHost host;
    corvalt::testing::FakeClock clock;
    corvalt::ReaderConnection reader(host, clock);
    corvalt::testing::RecordingMessageBox messageBox;
    corvalt::CCorvaltDlg dialog(reader, messageBox);
    dialog.show();
    dialog.Widgets().m_commandEdit->setText("01 10 00");
    dialog.Widgets().m_configurationCommand->click();
    dialog.m_strCommandText = "Request      : CMND=01, DATA= 10 00\r\nResponse     : RC=00, DATA=\r\n";
    dialog.m_strTranscript = dialog.m_strCommandText;
    dialog.UpdateData(false);
    QApplication::processEvents();

    if (!dialog.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
