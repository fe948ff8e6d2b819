// The About box: the program's icon, name and version, and an OK button.
#pragma once

#include <QDialog>

namespace corvalt {

class CAboutDlg final : public QDialog {
public:
    CAboutDlg(const QIcon& icon, QWidget* parent);
};

}  // namespace corvalt
