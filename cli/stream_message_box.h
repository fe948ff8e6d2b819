// The console's message boxes in a shell: each text on standard error.
#pragma once

#include <ostream>
#include <string>

#include "platform/message_box.h"

namespace corvalt {

class StreamMessageBox final : public MessageBox {
public:
    explicit StreamMessageBox(std::ostream& err) : m_err(err) {}
    void Show(const std::string& text) override { m_err << text << '\n' << std::flush; }

private:
    std::ostream& m_err;
};

}  // namespace corvalt
