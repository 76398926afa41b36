#include <windows.h>

#include "app/win32/application.h"

namespace {

// The program runs elevated, so no library may come from its own folder or the current one,
// where anybody could drop one: the system folder only.
void hardenLibrarySearch() {
    SetDllDirectoryW(L"");
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories != nullptr) {
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    hardenLibrarySearch();
    v270::win32::DAVO_RUravuVez application(instance);
    application.InitInstance();
    // The main window has ended and its worker threads with it, joined: nothing runs on.
    ExitProcess(0);
}
