#pragma once

#include <string_view>

namespace v270::platform {

// Modal messages to the user: an OK button (or Yes and No for a question), the application's name
// as caption, the main window as owner.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    virtual void show(std::u16string_view text) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool ask(std::u16string_view text) = 0;
};

}  // namespace v270::platform
