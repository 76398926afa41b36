#include "platform/win32/display_dpi.h"

namespace v270::win32 {

namespace {

int32_t systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen != nullptr)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

int32_t windowDpi(HWND window) {
    // Looked up by name: the program also runs where user32 has no per-monitor scale.
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr && window != nullptr) {
        if (const UINT dpi = getDpiForWindow(window); dpi != 0)
            return static_cast<int32_t>(dpi);
    }
    return systemDpi();
}

int32_t monitorDpi(HMONITOR monitor) {
    // shcore is a system library, loaded from the system folder only; it is missing before
    // Windows 8.1, where every monitor has the system's scale.
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    static const auto getDpiForMonitor = [] {
        HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return shcore == nullptr
                   ? nullptr
                   : reinterpret_cast<GetDpiForMonitorFunction>(
                         reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
    }();
    UINT x = 0;
    UINT y = 0;
    if (getDpiForMonitor != nullptr && monitor != nullptr &&
        SUCCEEDED(getDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && y != 0) {
        return static_cast<int32_t>(y);
    }
    return systemDpi();
}

}  // namespace v270::win32
