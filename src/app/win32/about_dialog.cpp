#include "app/win32/about_dialog.h"

#include "app/win32/resource_ids.h"

namespace v270::win32 {

void CAboutDlg::show(HINSTANCE instance, HWND owner) {
    runModal(instance, IDD_ABOUTBOX, owner);
}

}  // namespace v270::win32
