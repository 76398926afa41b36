#include <optional>

#include "app/win32/main_window.h"
#include "ui/keyboard_controller.h"

namespace v270::win32 {

namespace {

std::optional<KeyCommand> commandOf(WPARAM key, bool onWindow) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    switch (key) {
        case VK_TAB:
            return shift ? KeyCommand::Previous : KeyCommand::Next;
        case VK_RETURN:
        case VK_SPACE:
            // In an edit or a list these keys are the control's own.
            if (onWindow)
                return KeyCommand::Press;
            return std::nullopt;
        case VK_F10:
            if (shift)
                return KeyCommand::OpenMenu;
            return std::nullopt;
        case VK_APPS:
            return KeyCommand::OpenMenu;
        default:
            return std::nullopt;
    }
}

}  // namespace

bool VADU_VIredoVud::onNavigationKey(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)
        return false;
    if (menuDialog_ && menuDialog_->owns(message.hwnd))
        return menuDialog_->onKey(message.wParam);
    // The window itself, or one of the advanced page's controls; not the step list's in-place
    // editor, which ends on Enter and Escape itself, and not while a recording takes the keys.
    const bool onWindow = message.hwnd == handle();
    if (!onWindow && GetParent(message.hwnd) != handle())
        return false;
    if (program_->advancedPage.recording())
        return false;
    const std::optional<KeyCommand> command = commandOf(message.wParam, onWindow);
    if (!command || !program_->keyboard.onCommand(*command))
        return false;
    // A press on a button slot opened its function menu: the keys go on in the menu.
    if ((*command == KeyCommand::Press || *command == KeyCommand::OpenMenu) && menuDialog_)
        menuDialog_->takeKeyboard();
    return true;
}

void VADU_VIredoVud::focusWindow() {
    if (handle() != nullptr && GetFocus() != handle())
        SetFocus(handle());
}

}  // namespace v270::win32
