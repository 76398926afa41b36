#pragma once

#include <windows.h>

#include <atomic>

#include "platform/file_dialogs.h"

namespace v270::win32 {

// GetOpenFileNameW and GetSaveFileNameW, modal to the main window once it exists.
class Win32FileDialogs final : public platform::FileDialogs {
  public:
    void setOwner(HWND owner) { owner_.store(owner); }

    std::optional<std::filesystem::path> openFile(
        const platform::FileDialogRequest& request) override;
    std::optional<std::filesystem::path> saveFile(
        const platform::FileDialogRequest& request) override;

  private:
    std::atomic<HWND> owner_{nullptr};
};

}  // namespace v270::win32
