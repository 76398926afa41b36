#include "platform/win32/dialog.h"

namespace v270::win32 {

Dialog::~Dialog() {
    if (window_ != nullptr && !modal_ && IsWindow(window_))
        DestroyWindow(window_);
}

bool Dialog::create(HINSTANCE instance, int templateId, HWND parent) {
    modal_ = false;
    CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, &Dialog::procedure,
                       reinterpret_cast<LPARAM>(this));
    return window_ != nullptr;
}

INT_PTR Dialog::runModal(HINSTANCE instance, int templateId, HWND parent) {
    modal_ = true;
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), parent,
                                           &Dialog::procedure, reinterpret_cast<LPARAM>(this));
    window_ = nullptr;
    return result;
}

INT_PTR Dialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            onInitDialog();
            return TRUE;
        case WM_COMMAND:
            return onCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
        case WM_NOTIFY:
            return onNotify(*reinterpret_cast<const NMHDR*>(lParam)) ? TRUE : FALSE;
        default:
            return FALSE;
    }
}

bool Dialog::onCommand(WORD command, WORD) {
    if (command != IDOK && command != IDCANCEL)
        return false;
    EndDialog(handle(), command);
    return true;
}

INT_PTR CALLBACK Dialog::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (self == nullptr)
        return FALSE;
    const INT_PTR handled = self->handleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
    }
    return handled;
}

}  // namespace v270::win32
