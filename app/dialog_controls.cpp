#include "app/dialog_controls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "app/dialog_font.h"
#include "app/dialog_style.h"

namespace corvalt {

namespace {

QWidget* CreateWidget(const ControlSpec& row, QWidget& dialog)
{
    const QString caption = QString::fromUtf8(row.caption);
    switch (row.kind) {
    case ControlKind::GroupBox: {
        auto* box = new QGroupBox(caption, &dialog);
        // Group boxes are drawn around their controls, which are siblings,
        // not children: clicks must reach the controls beneath.
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        return box;
    }
    case ControlKind::LineEdit: return new QLineEdit(&dialog);
    case ControlKind::TranscriptEdit: {
        // Plain text only: card data must never be read as markup.
        auto* edit = new QPlainTextEdit(&dialog);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit->setTabChangesFocus(true);
        return edit;
    }
    case ControlKind::PushButton: {
        // No button presses itself on Enter from another control: the
        // window decides what Enter does.
        auto* button = new QPushButton(caption, &dialog);
        button->setAutoDefault(false);
        return button;
    }
    case ControlKind::DefaultButton: {
        auto* button = new QPushButton(caption, &dialog);
        button->setDefault(true);
        return button;
    }
    case ControlKind::CheckBox: return new QCheckBox(caption, &dialog);
    case ControlKind::RadioButton: return new QRadioButton(caption, &dialog);
    case ControlKind::BlackFrame: {
        auto* frame = new QFrame(&dialog);
        frame->setFrameShape(QFrame::Box);
        frame->setLineWidth(1);
        QPalette palette = frame->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        frame->setPalette(palette);
        return frame;
    }
    case ControlKind::Label: return new QLabel(caption, &dialog);
    case ControlKind::Icon: return new QLabel(&dialog);
    }
    return nullptr;
}

DialogScale ScaleOf(const QWidget& dialog)
{
    const QScreen& screen = *dialog.screen();
    return {qRound(screen.logicalDotsPerInchX()), qRound(screen.logicalDotsPerInchY())};
}

bool TakesFocus(ControlKind kind)
{
    switch (kind) {
    case ControlKind::GroupBox:
    case ControlKind::BlackFrame:
    case ControlKind::Label:
    case ControlKind::Icon: return false;
    default: return true;
    }
}

}  // namespace

DialogControls::DialogControls(QWidget& dialog, std::span<const ControlSpec> rows,
                               std::span<const CaptionSource> captionSources)
    : m_rows(rows), m_scale(ScaleOf(dialog)), m_groups(RadioGroups(rows))
{
    auto* style = new DialogStyle(m_scale);
    style->setParent(&dialog);
    dialog.setStyle(style);
    dialog.setFont(DialogFont(m_scale, *style, dialog.screen()->devicePixelRatio()));

    QWidget* previousTabStop = nullptr;
    for (const ControlSpec& row : rows) {
        QWidget* widget = CreateWidget(row, dialog);
        widget->setStyle(style);
        const PixelRect place = DialogRectToPixels(row.x, row.y, row.width, row.height, m_scale);
        widget->setGeometry(place.x, place.y, place.width, place.height);
        widget->setObjectName(QString::number(row.id));
        widget->setEnabled((row.flags & kDisabled) == 0);
        if (!TakesFocus(row.kind))
            widget->setFocusPolicy(Qt::NoFocus);
        else
            widget->setFocusPolicy((row.flags & kTabStop) != 0 ? Qt::StrongFocus : Qt::ClickFocus);
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previousTabStop != nullptr)
                QWidget::setTabOrder(previousTabStop, widget);
            previousTabStop = widget;
        }
        m_widgets.push_back(widget);
    }

    for (const CaptionSource& source : captionSources)
        Item(source.id)->setAccessibleName(QString::fromUtf8(FindControl(rows, source.captionOf)->caption));

    for (const RadioGroup& group : m_groups) {
        auto* buttonGroup = new QButtonGroup(&dialog);
        for (size_t index = 0; index < group.members.size(); ++index)
            buttonGroup->addButton(Get<QRadioButton>(group.members[index]), static_cast<int>(index));
        m_buttonGroups.push_back(buttonGroup);
    }
}

QWidget* DialogControls::Item(int id) const
{
    for (size_t index = 0; index < m_rows.size(); ++index) {
        if (m_rows[index].id == id)
            return m_widgets[index];
    }
    return nullptr;
}

void DialogControls::StopForMissingControl(int id, const char* className)
{
    qFatal("The dialog has no control %d that is a %s", id, className);
}

QButtonGroup* DialogControls::GroupNamed(int groupId) const
{
    for (size_t index = 0; index < m_groups.size(); ++index) {
        if (m_groups[index].members.front() == groupId)
            return m_buttonGroups[index];
    }
    return nullptr;
}

int DialogControls::CheckedIndex(int groupId) const
{
    return GroupNamed(groupId)->checkedId();
}

void DialogControls::SetCheckedIndex(int groupId, int index)
{
    QButtonGroup* group = GroupNamed(groupId);
    // An exclusive group refuses to uncheck its last checked button.
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(group->id(button) == index);
    group->setExclusive(true);
}

}  // namespace corvalt
