#pragma once

#include <string_view>

namespace v270::platform {

// Modal messages to the user: an OK button (or Yes and No for a question), the application's name
// as caption, the main window as owner.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    virtual void show(std::u16string_view text) = 0;
    // A question with Yes and No buttons; true for Yes. Where no one can answer, the text is
    // shown as a message and the answer is No: nothing is done that was not agreed to.
    virtual bool ask(std::u16string_view text) {
        show(text);
        return false;
    }
};

}  // namespace v270::platform
