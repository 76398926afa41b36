#pragma once

#include "app/win32/dialog.h"

namespace v270::win32 {

// The about box of the system menu.
class CAboutDlg final : public Dialog {
  public:
    void show(HINSTANCE instance, HWND owner);

  private:
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace v270::win32
