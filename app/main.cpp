// Starts the program. The main window arrives with the window work; until
// then an empty one shows that the build and the Qt installation work.
#include <QApplication>
#include <QDialog>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Corvalt");
    QApplication::setApplicationVersion("1.0.0.1");
    QDialog dialog;
    dialog.setWindowTitle("USB HID MSR Demo");
    return dialog.exec() == QDialog::Accepted ? 0 : 0;
}
