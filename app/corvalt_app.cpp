#include "app/corvalt_app.h"

#include <memory>
#include <optional>

#include "app/app_identity.h"
#include "app/beside_window.h"
#include "rules/card_swipe_steps.h"
#include "app/corvalt_dlg.h"
#include "app/qt_message_box.h"
#include "app/virtual_reader_window.h"
#include "carddata/card_data.h"
#include "platform/clock.h"
#include "platform/system_hid_host.h"
#include "reader/reader_connection.h"
#include "recording/replayed_reader_host.h"
#include "virtualreader/virtual_reader_host.h"

namespace corvalt {

CCorvaltApp::CCorvaltApp(int& argc, char** argv) : QApplication(argc, argv)
{
    SetApplicationIdentity();
    setWindowIcon(ApplicationIcon());
}

int CCorvaltApp::InitInstance(const CommandLine& commandLine)
{
    SystemHidHost systemHost;
    SystemClock clock;
    // A virtual reader joins the system's device list after the real ones.
    std::optional<VirtualReader> virtualReader;
    std::optional<VirtualReaderHost> hostWithVirtualReader;
    if (commandLine.virtualReaderProductId != 0) {
        virtualReader.emplace(commandLine.virtualReaderProductId, clock);
        hostWithVirtualReader.emplace(systemHost, *virtualReader);
    }
    // So does a reader replayed from a recording, one report a swipe.
    std::optional<ReplayedReaderHost> hostWithReplay;
    if (commandLine.replay)
        hostWithReplay.emplace(systemHost, *commandLine.replay, clock, ReplayPace::kSwipes);
    HidHost& host = hostWithVirtualReader ? static_cast<HidHost&>(*hostWithVirtualReader)
                    : hostWithReplay      ? static_cast<HidHost&>(*hostWithReplay)
                                          : systemHost;
    ReaderConnection reader(host, clock);
    CardData card;  // the last swipe decoded
    CardSwipeSteps cardSteps(reader, card);
    QtMessageBox messageBox;
    CCorvaltDlg dialog(reader, messageBox, &cardSteps);
    cardSteps.SetPresenter(&dialog);
    messageBox.SetParent(&dialog);
    // A window of the main window, so its modal run leaves it usable; it
    // opens beside the main window once that is shown.
    std::unique_ptr<VirtualReaderWindow> virtualReaderWindow;
    if (virtualReader)
        virtualReaderWindow = std::make_unique<VirtualReaderWindow>(*virtualReader, &dialog);
    else if (hostWithReplay)
        virtualReaderWindow = std::make_unique<VirtualReaderWindow>(*hostWithReplay, commandLine.replayFile, &dialog);
    if (virtualReaderWindow)
        BesideWindow::Install(*virtualReaderWindow, dialog);
    dialog.exec();
    return 0;
}

}  // namespace corvalt
