// The widgets of one dialog template, built from its rows (dialog_template.h):
// each at its place in the dialog, inside the group box drawn around it
// (enclosing_boxes.h), with its caption, focus policy and tab order, the
// radio buttons joined in their groups, each group one Tab stop. The dialog
// and its controls get the dialogs' style and font (dialog_style.h,
// dialog_font.h), and places are taken at the scale of the dialog's screen.
#pragma once

#include <span>
#include <vector>

#include <QWidget>

#include "rules/dialog_template.h"
#include "rules/dialog_units.h"
#include "rules/radio_groups.h"

class QButtonGroup;

namespace corvalt {

class DialogControls {
public:
    // Controls without a caption of their own take for screen readers the
    // caption of the control their source names.
    DialogControls(QWidget& dialog, std::span<const ControlSpec> rows,
                   std::span<const CaptionSource> captionSources = {});

    // Dialog units to pixels on the dialog's screen.
    const DialogScale& Scale() const { return m_scale; }

    // The widget of a control, or nullptr when the template has no such id.
    QWidget* Item(int id) const;
    // The widget of a control as the class its row makes; never nullptr. An
    // id the template lacks, or another class, is a programming error: the
    // program stops there, naming the control.
    template <typename Widget>
    Widget* Get(int id) const
    {
        auto* widget = qobject_cast<Widget*>(Item(id));
        if (widget == nullptr)
            StopForMissingControl(id, Widget::staticMetaObject.className());
        return widget;
    }
    // Every widget, in template order.
    const std::vector<QWidget*>& All() const { return m_widgets; }

    // The checked button's index in the group named by its first radio
    // button, -1 when none is checked.
    int CheckedIndex(int groupId) const;
    // Checks the button at the index and unchecks the rest; an index outside
    // the group unchecks them all.
    void SetCheckedIndex(int groupId, int index);

private:
    QButtonGroup* GroupNamed(int groupId) const;
    [[noreturn]] static void StopForMissingControl(int id, const char* className);

    std::span<const ControlSpec> m_rows;
    DialogScale m_scale;
    std::vector<QWidget*> m_widgets;  // parallel to m_rows
    std::vector<RadioGroup> m_groups;
    std::vector<QButtonGroup*> m_buttonGroups;  // parallel to m_groups
};

}  // namespace corvalt
