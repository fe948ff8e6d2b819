#include "app/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "app/dialog_controls.h"
#include "app/qt_text.h"
#include "rules/window_texts.h"

namespace corvalt {

CAboutDlg::CAboutDlg(const QIcon& icon, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(ToQString(kAboutTitle));

    // The widgets belong to the dialog; the table view of them is needed
    // only while wiring them.
    const DialogControls controls(*this, AboutDialogControls());
    setFixedSize(DialogXToPixels(kAboutDialogSize.width, controls.Scale()),
                 DialogYToPixels(kAboutDialogSize.height, controls.Scale()));
    QLabel* iconLabel = controls.Get<QLabel>(kAboutIconId);
    iconLabel->setPixmap(icon.pixmap(iconLabel->size()));
    iconLabel->setAccessibleName(ToQString(kAboutIconName));
    connect(controls.Get<QPushButton>(kAboutOkId), &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace corvalt
