#include "app/dialog_controls.h"

#include <algorithm>

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
#include "rules/enclosing_boxes.h"
#include "app/dialog_style.h"
#include "app/radio_group_keys.h"

namespace corvalt {

namespace {

QWidget* CreateWidget(const ControlSpec& row, QWidget& parent)
{
    const QString caption = QString::fromUtf8(row.caption);
    switch (row.kind) {
    case ControlKind::GroupBox: return new QGroupBox(caption, &parent);
    case ControlKind::LineEdit: return new QLineEdit(&parent);
    case ControlKind::TranscriptEdit: {
        // Plain text only: card data must never be read as markup.
        auto* edit = new QPlainTextEdit(&parent);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit->setTabChangesFocus(true);
        return edit;
    }
    case ControlKind::PushButton: {
        // No button presses itself on Enter from another control: the
        // window decides what Enter does.
        auto* button = new QPushButton(caption, &parent);
        button->setAutoDefault(false);
        return button;
    }
    case ControlKind::DefaultButton: {
        auto* button = new QPushButton(caption, &parent);
        button->setDefault(true);
        return button;
    }
    case ControlKind::CheckBox: return new QCheckBox(caption, &parent);
    case ControlKind::RadioButton: return new QRadioButton(caption, &parent);
    case ControlKind::BlackFrame: {
        auto* frame = new QFrame(&parent);
        frame->setFrameShape(QFrame::Box);
        frame->setLineWidth(1);
        QPalette palette = frame->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        frame->setPalette(palette);
        return frame;
    }
    case ControlKind::Label: return new QLabel(caption, &parent);
    case ControlKind::Icon: return new QLabel(&parent);
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

// A radio group is one Tab stop, at its checked button (at its first while
// none is checked); the arrow keys move the choice inside the group.
void PlaceTabStop(const QButtonGroup& group)
{
    const QList<QAbstractButton*> buttons = group.buttons();
    const QAbstractButton* stop = group.checkedButton() != nullptr ? group.checkedButton() : buttons.front();
    for (QAbstractButton* button : buttons)
        button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

// Smaller boxes lie on top of the larger ones they overlap, so that a click
// reaches the controls of the box drawn innermost.
void StackBoxes(std::vector<QWidget*> boxes)
{
    std::ranges::sort(
        boxes, [](const QWidget* a, const QWidget* b) { return a->width() * a->height() > b->width() * b->height(); });
    for (QWidget* box : boxes)
        box->raise();
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

    // The group boxes first, so that each control is made inside its box,
    // at the same place in the dialog.
    const std::vector<int> boxes = EnclosingGroupBoxes(rows);
    m_widgets.resize(rows.size());
    std::vector<QWidget*> groupBoxes;
    for (const bool makingBoxes : {true, false}) {
        for (size_t index = 0; index < rows.size(); ++index) {
            const ControlSpec& row = rows[index];
            if ((row.kind == ControlKind::GroupBox) != makingBoxes)
                continue;
            QWidget* box = boxes[index] == kNoBox ? nullptr : m_widgets[static_cast<size_t>(boxes[index])];
            QWidget* widget = CreateWidget(row, box != nullptr ? *box : dialog);
            widget->setStyle(style);
            const PixelRect place = DialogRectToPixels(row.x, row.y, row.width, row.height, m_scale);
            const QPoint origin = box != nullptr ? box->pos() : QPoint();
            widget->setGeometry(place.x - origin.x(), place.y - origin.y(), place.width, place.height);
            widget->setObjectName(QString::number(row.id));
            widget->setEnabled((row.flags & kDisabled) == 0);
            if (makingBoxes)
                groupBoxes.push_back(widget);
            m_widgets[index] = widget;
        }
    }
    StackBoxes(groupBoxes);

    QWidget* previousTabStop = nullptr;
    for (size_t index = 0; index < rows.size(); ++index) {
        const ControlSpec& row = rows[index];
        QWidget* widget = m_widgets[index];
        if (!TakesFocus(row.kind))
            widget->setFocusPolicy(Qt::NoFocus);
        else
            widget->setFocusPolicy((row.flags & kTabStop) != 0 ? Qt::StrongFocus : Qt::ClickFocus);
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previousTabStop != nullptr)
                QWidget::setTabOrder(previousTabStop, widget);
            previousTabStop = widget;
        }
    }

    for (const CaptionSource& source : captionSources)
        Item(source.id)->setAccessibleName(QString::fromUtf8(FindControl(rows, source.captionOf)->caption));

    for (const RadioGroup& group : m_groups) {
        auto* buttonGroup = new QButtonGroup(&dialog);
        for (size_t index = 0; index < group.members.size(); ++index)
            buttonGroup->addButton(Get<QRadioButton>(group.members[index]), static_cast<int>(index));
        PlaceTabStop(*buttonGroup);
        RadioGroupKeys::Install(*buttonGroup);
        QObject::connect(buttonGroup, &QButtonGroup::idToggled, buttonGroup,
                         [buttonGroup] { PlaceTabStop(*buttonGroup); });
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
