#include "app/caption_fit.h"

#include <QStyleOption>

namespace corvalt {

QRect CaptionArea(const ControlSpec& row, const QRect& place, const QStyle& style, const QFontMetrics& metrics)
{
    QStyleOptionButton button;
    button.rect = place;
    button.fontMetrics = metrics;
    button.text = QString::fromUtf8(row.caption);
    switch (row.kind) {
    case ControlKind::PushButton: return style.subElementRect(QStyle::SE_PushButtonContents, &button);
    case ControlKind::DefaultButton:
        button.features = QStyleOptionButton::DefaultButton | QStyleOptionButton::AutoDefaultButton;
        return style.subElementRect(QStyle::SE_PushButtonContents, &button);
    case ControlKind::CheckBox: return style.subElementRect(QStyle::SE_CheckBoxContents, &button);
    case ControlKind::RadioButton: return style.subElementRect(QStyle::SE_RadioButtonContents, &button);
    case ControlKind::GroupBox: {
        // The caption starts a little in from the left edge; it may run as
        // close to the right edge.
        QStyleOptionGroupBox box;
        box.rect = place;
        box.fontMetrics = metrics;
        box.text = button.text;
        box.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect label = style.subControlRect(QStyle::CC_GroupBox, &box, QStyle::SC_GroupBoxLabel);
        const QRect frame = style.subControlRect(QStyle::CC_GroupBox, &box, QStyle::SC_GroupBoxFrame);
        return frame.adjusted(label.left() - frame.left(), 0, frame.left() - label.left(), 0);
    }
    case ControlKind::Label: return place;
    default: return {};
    }
}

bool CaptionsFit(std::span<const ControlSpec> rows, const DialogScale& scale, const QStyle& style, const QFont& font)
{
    const QFontMetrics metrics(font);
    for (const ControlSpec& row : rows) {
        const QString caption = QString::fromUtf8(row.caption);
        if (caption.isEmpty())
            continue;
        const PixelRect place = DialogRectToPixels(row.x, row.y, row.width, row.height, scale);
        const QRect area = CaptionArea(row, QRect(place.x, place.y, place.width, place.height), style, metrics);
        if (metrics.horizontalAdvance(caption) > area.width() || metrics.height() > area.height())
            return false;
    }
    return true;
}

}  // namespace corvalt
