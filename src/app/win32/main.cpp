#include <windows.h>

#include "app/win32/application.h"
#include "app/win32/running_instance.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The program runs elevated: no library from a folder others could write to.
    v270::win32::hardenLibrarySearch();
    v270::win32::DAVO_RUravuVez application(instance);
    const int exitCode = application.InitInstance();
    // The main window has ended and its worker threads with it, joined: nothing runs on.
    ExitProcess(static_cast<UINT>(exitCode));
}
