#pragma once

#include <windows.h>

#include <string>

namespace v270::win32 {

// A list box whose selected row is edited in place: a character code 1 (Ctrl+A, or a
// WM_CHAR the program sends) opens an edit control over the row; Enter keeps the text and
// Escape discards it, on the key-down, and losing the focus keeps it. At the end of every edit the
// parent gets WM_LISTEDIT_DONE, and WM_LISTEDIT_CHANGED before it when a row changed. A right
// click is reported to the parent as kStepListRightClickMessage, and so are the context key and
// Shift+F10, for the selected row.
class CEditableListBox {
  public:
    // Takes over the messages of `list`, a list box child of the main window.
    explicit CEditableListBox(HWND list);
    CEditableListBox(const CEditableListBox&) = delete;
    CEditableListBox& operator=(const CEditableListBox&) = delete;
    ~CEditableListBox();

    HWND handle() const { return list_; }
    void beginEdit();
    void endEdit(bool keep);

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    static bool isMenuKey(WPARAM key);
    void reportRightClick(LPARAM point);
    void reportMenuKey();
    void reportMenuAt(int row, bool inside, POINT client);
    std::wstring rowText(int row) const;

    HWND list_;
    HWND edit_ = nullptr;  // the in-place editor while an edit runs
    int editedRow_ = -1;
    WPARAM pendingChar_ = 0;
};

// The in-place editor: its key-downs of Enter and Escape, and the loss of the focus, end the edit.
class CEditHelper {
  public:
    // Takes over the messages of `edit`, for as long as the window lives.
    static void attach(HWND edit);

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data);
};

}  // namespace v270::win32
