#pragma once

#include <optional>

#include "platform/win32/dialog.h"
#include "app/win32/popup_environment.h"
#include "ui/warning_dialog.h"

namespace v270::win32 {

// The skinned confirmation shown before the only button with the left click gets its function
// menu. Made for one showing and modal to the main window.
class WarningDlg final : public Dialog {
  public:
    // `origin`: the dialog's top-left corner in screen pixels.
    WarningDlg(const PopupEnvironment& environment, Point origin)
        : env_(environment), origin_(origin), pointer_(environment.tables.warningItems) {}

    // 1 for the first button (or Enter), 2 for the second (or Escape).
    int32_t show(HWND owner);

  private:
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onInit();
    void onPaint();

    PopupEnvironment env_;
    const Point origin_;
    WarningPointer pointer_;
    platform::PixelSize size_;
};

}  // namespace v270::win32
