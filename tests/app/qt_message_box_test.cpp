// The message boxes the operator sees: titled "Corvalt", OK only, text shown
// as it is.
#include "app/qt_message_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace corvalt {
namespace {

TEST(QtMessageBoxTest, ShowsAModalOkBoxTitledCorvalt)
{
    QString title, text;
    QMessageBox::StandardButtons buttons;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        buttons = box->standardButtons();
        format = box->textFormat();
        box->accept();
    });
    QtMessageBox messageBox;
    messageBox.Show("Fatal Error - <device gone>");
    EXPECT_EQ(title, "Corvalt");
    EXPECT_EQ(text, "Fatal Error - <device gone>");
    EXPECT_EQ(buttons, QMessageBox::Ok);
    EXPECT_EQ(format, Qt::PlainText);
}

}  // namespace
}  // namespace corvalt
