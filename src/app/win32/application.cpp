#include "app/win32/application.h"

#include <commctrl.h>

#include "app/win32/main_window.h"
#include "platform/file_system.h"
#include "platform/win32/unique_handle.h"
#include "settings/program_paths.h"
#include "ui/window_titles.h"

namespace v270::win32 {

namespace {

constexpr wchar_t kInstanceMutex[] = L"DAVO_RUravuVez";

HWND findRunningInstance() {
    for (const bool english : {true, false}) {
        const std::u16string_view title = windowTitle(english);
        const std::wstring wide(title.begin(), title.end());
        if (HWND window = FindWindowW(nullptr, wide.c_str()))
            return window;
    }
    return nullptr;
}

}  // namespace

DAVO_RUravuVez::DAVO_RUravuVez(HINSTANCE instance)
    : instance_(instance), exeFolder_(exeFolderOf(platform::currentModulePath())) {}

void DAVO_RUravuVez::InitInstance() {
    // Held, not owned, until the process ends: its existence is what a second copy sees.
    UniqueHandle instanceMutex(CreateMutexW(nullptr, FALSE, kInstanceMutex));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // The window may be hidden to the tray; restoring shows it again. When the other copy is
        // still starting or already ending there is no window, and this copy ends all the same.
        if (HWND running = findRunningInstance())
            ShowWindow(running, SW_RESTORE);
        return;
    }

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    VADU_VIredoVud mainWindow(instance_, ProgramPaths::inFolder(exeFolder_));
    mainWindow.runModal();
}

}  // namespace v270::win32
