#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "platform/message_boxes.h"

namespace v270::win32 {

// MessageBoxW with an OK button, the application's name as caption and the main window, once it
// exists, as owner.
class Win32MessageBoxes final : public platform::MessageBoxes {
  public:
    explicit Win32MessageBoxes(std::wstring caption) : caption_(std::move(caption)) {}

    void setOwner(HWND owner) { owner_.store(owner); }

    void show(std::u16string_view text) override {
        const std::wstring message(text.begin(), text.end());
        MessageBoxW(owner_.load(), message.c_str(), caption_.c_str(), MB_OK);
    }
    bool ask(std::u16string_view text) override {
        const std::wstring message(text.begin(), text.end());
        return MessageBoxW(owner_.load(), message.c_str(), caption_.c_str(),
                           MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
    }

  private:
    const std::wstring caption_;
    std::atomic<HWND> owner_{nullptr};
};

}  // namespace v270::win32
