#pragma once

#include "platform/win32/dialog.h"

namespace v270::win32 {

// The about box of the system menu: its template's text and an OK button.
class CAboutDlg final : public Dialog {
  public:
    void show(HINSTANCE instance, HWND owner);
};

}  // namespace v270::win32
