#include "app/dialog_font.h"

#include <QFontInfo>

#include "app/caption_fit.h"
#include "rules/dialog_template.h"

namespace corvalt {

namespace {

constexpr const char* kSongFace = "AR PL UMing CN";
constexpr int kLargestPoints = 9;  // the templates' own size
constexpr int kSmallestPoints = 6;

int PointsToPixels(int points, const DialogScale& scale)
{
    return (points * scale.dotsPerInchY + 36) / 72;
}

bool FitsBothTemplates(const QFont& font, const DialogScale& scale, const QStyle& style)
{
    return CaptionsFit(MainDialogControls(), scale, style, font) &&
           CaptionsFit(AboutDialogControls(), scale, style, font);
}

}  // namespace

QStringList DialogFontFamilies()
{
#ifdef _WIN32
    return {QStringLiteral("SimSun"), QString::fromLatin1(kSongFace)};
#else
    return {QString::fromLatin1(kSongFace)};
#endif
}

QFont DialogFont(const DialogScale& scale, const QStyle& style, qreal devicePixelRatio)
{
    QFont font;
    font.setFamilies(DialogFontFamilies());
    // The Song face's own bitmaps, drawn where a font pixel is a screen
    // pixel, are crisper than its thin outlines.
    if (devicePixelRatio == 1.0 && QFontInfo(font).family() == QLatin1String(kSongFace))
        font.setStyleStrategy(QFont::NoAntialias);
    const int smallest = PointsToPixels(kSmallestPoints, scale);
    for (int pixels = PointsToPixels(kLargestPoints, scale); pixels > smallest; --pixels) {
        font.setPixelSize(pixels);
        if (FitsBothTemplates(font, scale, style))
            return font;
    }
    font.setPixelSize(smallest);
    return font;
}

}  // namespace corvalt
