#include "app/qt_message_box.h"

#include <QMessageBox>

namespace corvalt {

void QtMessageBox::Show(const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Corvalt"), QString::fromStdString(text), QMessageBox::Ok,
                    m_parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace corvalt
