#include "app/corvalt_app.h"

#include "app/app_identity.h"
#include "app/card_swipe_steps.h"
#include "app/corvalt_dlg.h"
#include "app/qt_message_box.h"
#include "carddata/card_data.h"
#include "platform/clock.h"
#include "platform/hidraw_host.h"
#include "reader/reader_connection.h"

namespace corvalt {

CCorvaltApp::CCorvaltApp(int& argc, char** argv) : QApplication(argc, argv)
{
    SetApplicationIdentity();
    setWindowIcon(QIcon(QStringLiteral(":/corvalt.svg")));
}

int CCorvaltApp::InitInstance()
{
    HidrawHost host;
    SystemClock clock;
    ReaderConnection reader(host, clock);
    CardData card;  // the last swipe decoded
    CardSwipeSteps cardSteps(reader, card);
    QtMessageBox messageBox;
    CCorvaltDlg dialog(reader, messageBox, &cardSteps);
    cardSteps.SetPresenter(&dialog);
    messageBox.SetParent(&dialog);
    dialog.exec();
    return 0;
}

}  // namespace corvalt
