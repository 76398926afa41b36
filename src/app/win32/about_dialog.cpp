#include "app/win32/about_dialog.h"

#include "app/win32/resource_ids.h"

namespace v270::win32 {

void CAboutDlg::show(HINSTANCE instance, HWND owner) {
    runModal(instance, IDD_ABOUTBOX, owner);
}

INT_PTR CAboutDlg::handleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(handle(), LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace v270::win32
