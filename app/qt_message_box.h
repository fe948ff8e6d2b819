// Message boxes as the operator sees them: modal, titled "Corvalt", with an
// OK button only.
#pragma once

#include "platform/message_box.h"

class QWidget;

namespace corvalt {

class QtMessageBox final : public MessageBox {
public:
    // Boxes are centred on the parent; nullptr centres them on the screen.
    explicit QtMessageBox(QWidget* parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }

    void Show(const std::string& text) override;

private:
    QWidget* m_parent;
};

}  // namespace corvalt
