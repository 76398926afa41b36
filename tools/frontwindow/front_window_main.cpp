// v270-front-window: a small window that stands for an application the user brings to the front.
// Copied under other names, it is each of the applications of the per-application profiles'
// end-to-end test.
//
//   NAME.exe [--seconds N] [--at X Y]
//
// The window's title is the executable's file name ("racer.exe"), so that xdotool finds it; it
// stands at screen position X, Y (default 600, 100). A left click brings it to the front. Each time
// it becomes the foreground window it announces EVENT_SYSTEM_FOREGROUND itself: Wine 8 moves the
// foreground without announcing it, where Windows would. It ends after N seconds (default 120) or
// when closed.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

constexpr UINT_PTR kTimeoutTimer = 1;

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
            SetForegroundWindow(window);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE)
                NotifyWinEvent(EVENT_SYSTEM_FOREGROUND, window, OBJID_WINDOW, CHILDID_SELF);
            return 0;
        case WM_TIMER:
            if (wParam == kTimeoutTimer)
                DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

std::wstring executableName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const wchar_t* name = std::wcsrchr(path, L'\\');
    return name != nullptr ? name + 1 : path;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    unsigned seconds = 120;
    int x = 600;
    int y = 100;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--seconds") == 0 && i + 1 < argc) {
            seconds = static_cast<unsigned>(std::wcstoul(argv[++i], nullptr, 10));
        } else if (std::wcscmp(argv[i], L"--at") == 0 && i + 2 < argc) {
            x = static_cast<int>(std::wcstol(argv[++i], nullptr, 10));
            y = static_cast<int>(std::wcstol(argv[++i], nullptr, 10));
        } else {
            return 2;
        }
    }
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"V270FrontWindow";
    if (RegisterClassW(&windowClass) == 0)
        return 2;
    const HWND window = CreateWindowW(windowClass.lpszClassName, executableName().c_str(),
                                      WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, 240, 160, nullptr,
                                      nullptr, instance, nullptr);
    if (window == nullptr)
        return 2;
    SetTimer(window, kTimeoutTimer, seconds * 1000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
