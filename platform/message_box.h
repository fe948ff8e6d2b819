// A modal message box with an OK button only. The window shows a real one;
// the tests record the texts instead, so nothing ever blocks on a box.
#pragma once

#include <string>

namespace corvalt {

class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void Show(const std::string& text) = 0;
};

}  // namespace corvalt
