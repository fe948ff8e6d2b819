// Draws a decoded swipe from the virtual reader, offscreen, into the PNG
// file named on the command line (the README's "Try it without a reader"
// picture): the main window in reading mode beside the Virtual Reader window.
#include <QApplication>
#include <QPainter>
#include <QPixmap>

#include <cstdio>

#include "rules/card_swipe_steps.h"
#include "app/corvalt_dlg.h"
#include "app/virtual_reader_window.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_hid_host.h"
#include "tests/support/recording_message_box.h"
#include "virtualreader/virtual_reader_host.h"

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    corvalt::testing::FakeHidHost system;
    corvalt::testing::FakeClock clock;
    corvalt::VirtualReader model(0x0003, clock);
    corvalt::VirtualReaderHost host(system, model);
    corvalt::ReaderConnection reader(host, clock);
    corvalt::testing::RecordingMessageBox messageBox;
    corvalt::CardData card;
    corvalt::CardSwipeSteps cardSteps(reader, card);
    corvalt::CCorvaltDlg dialog(reader, messageBox, &cardSteps);
    cardSteps.SetPresenter(&dialog);
    corvalt::VirtualReaderWindow readerWindow(model);
    readerWindow.show();
    dialog.show();
    dialog.OnTimer();
    dialog.OnTimer();
    readerWindow.Swipe();
    dialog.OnTimer();
    QApplication::processEvents();

    const QPixmap main = dialog.grab();
    const QPixmap simulated = readerWindow.grab();
    constexpr int kGap = 16;
    QPixmap both(main.width() + kGap + simulated.width(), std::max(main.height(), simulated.height()));
    both.fill(Qt::white);
    QPainter painter(&both);
    painter.drawPixmap(0, 0, main);
    painter.drawPixmap(main.width() + kGap, 0, simulated);
    painter.end();
    if (!both.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
