#include "app/dialog_font.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>

namespace corvalt {

QFont DialogFont()
{
    const QStringList installed = QFontDatabase::families();
    for (const char* family : {"SimSun", "WenQuanYi Zen Hei"}) {
        if (installed.contains(QString::fromLatin1(family), Qt::CaseInsensitive))
            return QFont(QString::fromLatin1(family), 9);
    }
    return QApplication::font();
}

DialogBaseUnits BaseUnitsOf(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return BaseUnitsFromFont(alphabet, metrics.height());
}

}  // namespace corvalt
