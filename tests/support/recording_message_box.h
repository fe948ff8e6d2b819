// Records the texts of message boxes instead of showing them.
#pragma once

#include <string>
#include <vector>

#include "platform/message_box.h"

namespace corvalt::testing {

class RecordingMessageBox final : public MessageBox {
public:
    void Show(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

}  // namespace corvalt::testing
