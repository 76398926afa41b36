#include "platform/win32/one_shot_timer_win32.h"

#include <algorithm>
#include <utility>

namespace v270::win32 {

namespace {

constexpr wchar_t kClassName[] = L"V270OneShotTimer";
constexpr UINT_PTR kTimerId = 1;

}  // namespace

Win32OneShotTimer::~Win32OneShotTimer() {
    if (window_ != nullptr)
        DestroyWindow(window_);  // its timer goes with it
}

void Win32OneShotTimer::start(std::chrono::milliseconds delay, std::function<void()> action) {
    if (window_ == nullptr && !createWindow())
        return;
    const auto milliseconds = static_cast<UINT>(
        std::clamp<std::chrono::milliseconds::rep>(delay.count(), USER_TIMER_MINIMUM, 60'000));
    // Setting the timer of the same id again restarts it.
    if (SetTimer(window_, kTimerId, milliseconds, nullptr) == 0)
        return;
    action_ = std::move(action);
    pending_ = true;
}

void Win32OneShotTimer::cancel() {
    if (pending_ && window_ != nullptr)
        KillTimer(window_, kTimerId);
    pending_ = false;
    action_ = nullptr;
}

void Win32OneShotTimer::fire() {
    if (!pending_)
        return;
    KillTimer(window_, kTimerId);
    pending_ = false;
    // Taken out first: the action may start the next wait.
    const std::function<void()> action = std::exchange(action_, nullptr);
    if (action)
        action();
}

bool Win32OneShotTimer::createWindow() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &windowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    // A second timer finds the class in place, and that is as good.
    RegisterClassExW(&windowClass);
    window_ =
        CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
    return window_ != nullptr;
}

LRESULT CALLBACK Win32OneShotTimer::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == WM_TIMER && wParam == kTimerId) {
        auto* timer =
            reinterpret_cast<Win32OneShotTimer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (timer != nullptr)
            timer->fire();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace v270::win32
