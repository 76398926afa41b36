#include "app/win32/editable_list_box.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "app/win32/window_messages.h"
#include "platform/win32/control_messages.h"

namespace v270::win32 {

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr int kEditorId = 1;
constexpr int kEditorMargin = 2;  // the editor reaches this far above and below the row
constexpr WPARAM kEditCharacter = 1;

}  // namespace

CEditableListBox::CEditableListBox(HWND list) : list_(list) {
    SetWindowSubclass(list_, &CEditableListBox::procedure, kSubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
}

CEditableListBox::~CEditableListBox() {
    if (IsWindow(list_))
        RemoveWindowSubclass(list_, &CEditableListBox::procedure, kSubclassId);
}

LRESULT CALLBACK CEditableListBox::procedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* box = reinterpret_cast<CEditableListBox*>(self);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &CEditableListBox::procedure, kSubclassId);
        box->edit_ = nullptr;
        return DefSubclassProc(window, message, wParam, lParam);
    }
    return box->onMessage(message, wParam, lParam);
}

LRESULT CEditableListBox::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CHAR:
            pendingChar_ = wParam;
            beginEdit();
            break;
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_SIZE:
            endEdit(true);
            break;
        case WM_LISTEDIT_END:
            endEdit(wParam != 0);
            return 0;
        case WM_RBUTTONUP:
            reportRightClick(lParam);
            break;
        case WM_GETDLGCODE: {
            // Asks the window's pre-filter for Shift+F10, which it keeps from other controls.
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            const LRESULT code = DefSubclassProc(list_, message, wParam, lParam);
            const bool menuKey = key != nullptr &&
                                 (key->message == WM_KEYDOWN || key->message == WM_SYSKEYDOWN) &&
                                 isMenuKey(key->wParam);
            return menuKey ? code | DLGC_WANTMESSAGE : code;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (isMenuKey(wParam)) {
                reportMenuKey();
                return 0;
            }
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            // Its key-up would open the menu a second time, or the system menu after F10.
            if (isMenuKey(wParam))
                return 0;
            break;
        default:
            break;
    }
    return DefSubclassProc(list_, message, wParam, lParam);
}

bool CEditableListBox::isMenuKey(WPARAM key) {
    return key == VK_APPS || (key == VK_F10 && GetKeyState(VK_SHIFT) < 0);
}

void CEditableListBox::reportRightClick(LPARAM point) {
    const POINT client{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    RECT area{};
    GetClientRect(list_, &area);
    const bool inside = PtInRect(&area, client) != FALSE;
    const auto height = static_cast<int>(SendMessageW(list_, LB_GETITEMHEIGHT, 0, 0));
    const auto top = static_cast<int>(SendMessageW(list_, LB_GETTOPINDEX, 0, 0));
    const int row = height > 0 ? top + client.y / height : 0;
    reportMenuAt(row, inside, client);
}

void CEditableListBox::reportMenuKey() {
    // The menu is for the selected row, or the first one shown when none is, and opens below
    // the row's left end, kept inside the list when the row is scrolled out of sight.
    auto row = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
    if (row < 0)
        row = static_cast<int>(SendMessageW(list_, LB_GETTOPINDEX, 0, 0));
    RECT client{};
    GetClientRect(list_, &client);
    RECT rowArea{client.left, client.top, client.left, client.top};
    SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&rowArea));
    const POINT at{
        std::clamp<LONG>(rowArea.left, client.left, std::max(client.left, client.right - 1)),
        std::clamp<LONG>(rowArea.bottom, client.top, std::max(client.top, client.bottom - 1))};
    reportMenuAt(row, true, at);
}

void CEditableListBox::reportMenuAt(int row, bool inside, POINT client) {
    POINT screen = client;
    ClientToScreen(list_, &screen);
    const auto packedRow =
        static_cast<WPARAM>(static_cast<uint32_t>(row & 0x7FFFFFFF) | (inside ? 0x80000000u : 0u));
    const LPARAM packedPoint = MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y));
    SendMessageW(GetParent(list_), kStepListRightClickMessage, packedRow, packedPoint);
}

std::wstring CEditableListBox::rowText(int row) const {
    const auto length = SendMessageW(list_, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR)
        return {};
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list_, LB_GETTEXT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(text.data()));
    return std::wstring(text.data());
}

void CEditableListBox::beginEdit() {
    if (pendingChar_ != kEditCharacter || edit_ != nullptr)
        return;
    pendingChar_ = 0;
    const auto row = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
    RECT area{};
    if (row < 0 || SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(row),
                                reinterpret_cast<LPARAM>(&area)) == LB_ERR) {
        return;
    }
    area.top -= kEditorMargin;
    area.bottom += kEditorMargin;
    const std::wstring text = rowText(row);
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text.c_str(),
                            WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, area.left, area.top,
                            area.right - area.left, area.bottom - area.top, list_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorId)),
                            GetModuleHandleW(nullptr), nullptr);
    if (edit_ == nullptr)
        return;
    SetWindowPos(edit_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    setControlFont(edit_, controlFont(list_), true);
    CEditHelper::attach(edit_);
    SendMessageW(edit_, EM_SETSEL, 0, -1);
    SetFocus(edit_);
    editedRow_ = row;
}

void CEditableListBox::endEdit(bool keep) {
    if (edit_ == nullptr)
        return;
    // Let go of the editor first: destroying it takes its focus, which would end the edit again.
    const HWND editor = std::exchange(edit_, nullptr);
    if (keep && editedRow_ != -1) {
        const auto length = GetWindowTextLengthW(editor);
        std::vector<wchar_t> typed(static_cast<size_t>(length) + 1, L'\0');
        GetWindowTextW(editor, typed.data(), length + 1);
        const std::wstring former = rowText(editedRow_);
        if (former != typed.data()) {
            SendMessageW(list_, LB_DELETESTRING, static_cast<WPARAM>(editedRow_), 0);
            const bool sorted = (GetWindowLongPtrW(list_, GWL_STYLE) & LBS_SORT) != 0;
            const auto index = SendMessageW(list_, sorted ? LB_ADDSTRING : LB_INSERTSTRING,
                                            sorted ? 0 : static_cast<WPARAM>(editedRow_),
                                            reinterpret_cast<LPARAM>(typed.data()));
            editedRow_ = static_cast<int>(index);
            SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(editedRow_), 0);
            if ((GetWindowLongPtrW(list_, GWL_STYLE) & LBS_NOTIFY) != 0) {
                SendMessageW(GetParent(list_), WM_LISTEDIT_CHANGED, static_cast<WPARAM>(editedRow_),
                             reinterpret_cast<LPARAM>(former.c_str()));
            }
        }
    }
    editedRow_ = -1;
    if (GetFocus() == editor)
        SetFocus(list_);
    DestroyWindow(editor);
    SendMessageW(GetParent(list_), WM_LISTEDIT_DONE, 0, 0);
}

void CEditHelper::attach(HWND edit) {
    SetWindowSubclass(edit, &CEditHelper::procedure, kSubclassId, 0);
}

LRESULT CALLBACK CEditHelper::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR) {
    // The end is posted, so that the editor is never destroyed inside its own handler. It
    // comes with the key-down: the key-up of the Enter that chose "edit" in a menu reaches the
    // editor just opened and must not end it.
    const bool endKey = wParam == VK_RETURN || wParam == VK_ESCAPE;
    switch (message) {
        case WM_GETDLGCODE: {
            // Enter and Escape come here instead of pressing the window's buttons.
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            const bool wanted = key != nullptr && key->message == WM_KEYDOWN &&
                                (key->wParam == VK_RETURN || key->wParam == VK_ESCAPE);
            return DefSubclassProc(window, message, wParam, lParam) |
                   (wanted ? DLGC_WANTMESSAGE : 0);
        }
        case WM_KEYDOWN:
            if (endKey) {
                PostMessageW(GetParent(window), WM_LISTEDIT_END, wParam == VK_RETURN ? 1 : 0, 0);
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == L'\r' || wParam == 0x1B)
                return 0;  // the key-down has ended the edit; no beep
            break;
        case WM_KILLFOCUS:
            PostMessageW(GetParent(window), WM_LISTEDIT_END, 1, 0);
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, &CEditHelper::procedure, kSubclassId);
            break;
        default:
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace v270::win32
