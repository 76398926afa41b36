#pragma once

#include <windows.h>

namespace v270::win32 {

// A dialog window made from a dialog template, with its messages handled by a member function.
// The static procedure keeps `this` in the window's user data from WM_INITDIALOG on, where
// CreateDialogParamW hands it over, and forwards every later message to handleMessage.
class Dialog {
  public:
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog();

    HWND handle() const { return window_; }

  protected:
    Dialog() = default;

    // A modeless dialog from template `templateId`; the window shows when the template says
    // WS_VISIBLE. Returns false when it could not be created.
    bool create(HINSTANCE instance, int templateId, HWND parent);
    // A modal dialog from template `templateId`; returns the value given to EndDialog.
    INT_PTR runModal(HINSTANCE instance, int templateId, HWND parent);

    // Returns TRUE when the message was handled; a result other than the procedure's own goes
    // through setResult. By default it turns the initialisation, commands and notifications into
    // the calls below.
    virtual INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void onInitDialog() {}
    // A command of a control or a menu; true when handled. By default the dialog has nothing but
    // its OK and Cancel buttons, which end it.
    virtual bool onCommand(WORD command, WORD notification);
    // A notification of a common control; true when handled.
    virtual bool onNotify(const NMHDR& /*notice*/) { return false; }
    void setResult(LRESULT result) const { SetWindowLongPtrW(window_, DWLP_MSGRESULT, result); }

  private:
    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    bool modal_ = false;
};

}  // namespace v270::win32
