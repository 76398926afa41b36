#include "platform/win32/keyboard_capture_win32.h"

#include <atomic>
#include <stop_token>

#include "platform/hook_thread.h"

namespace v270::win32 {

namespace {

static_assert(sizeof(LPARAM) >= sizeof(uint64_t), "the time of day travels in the message");

// The window and message of the capture in place. A hook procedure has no parameter of its own,
// so the one capture of the process is known here.
std::atomic<HWND> captureWindow{nullptr};
std::atomic<UINT> captureMessage{0};

platform::KeyTransition transitionOf(WPARAM message) {
    switch (message) {
        case WM_KEYUP:
            return platform::KeyTransition::Up;
        case WM_SYSKEYDOWN:
            return platform::KeyTransition::SystemDown;
        case WM_SYSKEYUP:
            return platform::KeyTransition::SystemUp;
        default:
            return platform::KeyTransition::Down;
    }
}

LRESULT CALLBACK keyboardHook(int code, WPARAM message, LPARAM data) {
    const HWND window = captureWindow.load(std::memory_order_relaxed);
    if (code == HC_ACTION && window != nullptr) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        if (event->dwExtraInfo != platform::kOwnInputTag) {
            const uint64_t when = platform::microsecondOfDayNow();
            const auto packed = static_cast<WPARAM>(
                (static_cast<unsigned>(transitionOf(message)) << 8) | (event->vkCode & 0xFF));
            PostMessageW(window, captureMessage.load(std::memory_order_relaxed), packed,
                         static_cast<LPARAM>(when));
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, message, data);
}

// The hook on a thread of its own, which runs its messages and nothing else.
class HookCapture final : public platform::KeyboardCapture {
  public:
    HookCapture()
        : thread_(
              "v270 keyboard hook", [this] { return install(); },
              [this](std::stop_token stop) { loop(std::move(stop)); }) {}
    HookCapture(const HookCapture&) = delete;
    HookCapture& operator=(const HookCapture&) = delete;
    ~HookCapture() override {
        // The hook is gone before another capture may take the window's place.
        thread_.stop();
        captureWindow.store(nullptr);
    }

    bool start() { return thread_.start(); }

  private:
    bool install() {
        // The thread's message queue exists before a stop can post to it.
        MSG message;
        PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
        threadId_ = GetCurrentThreadId();
        hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, &keyboardHook, GetModuleHandleW(nullptr), 0);
        return hook_ != nullptr;
    }

    void loop(std::stop_token stop) {
        const DWORD thread = threadId_;
        const std::stop_callback quit(stop,
                                      [thread] { PostThreadMessageW(thread, WM_QUIT, 0, 0); });
        // The system calls the hook from inside this wait.
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        }
        UnhookWindowsHookEx(hook_);
    }

    // Set and used on the hook's thread only.
    DWORD threadId_ = 0;
    HHOOK hook_ = nullptr;
    platform::HookThread thread_;  // last: it ends, the hook removed, before the rest goes
};

}  // namespace

std::unique_ptr<platform::KeyboardCapture> captureKeyboard(HWND window, UINT message) {
    HWND none = nullptr;
    if (window == nullptr || !captureWindow.compare_exchange_strong(none, window))
        return nullptr;
    captureMessage.store(message);
    auto capture = std::make_unique<HookCapture>();
    if (!capture->start())
        return nullptr;  // its end gives the window back
    return capture;
}

platform::CapturedKey capturedKeyFromMessage(WPARAM wParam, LPARAM lParam) {
    platform::CapturedKey key;
    key.message.key = static_cast<uint8_t>(wParam & 0xFF);
    key.message.transition = static_cast<platform::KeyTransition>((wParam >> 8) & 0x3);
    key.microsecondOfDay = static_cast<uint64_t>(lParam);
    return key;
}

}  // namespace v270::win32

namespace v270::platform {

uint64_t microsecondOfDayNow() {
    // The precise system time came with Windows 8; before it, the time of the last tick.
    using PreciseTimeFunction = void(WINAPI*)(LPFILETIME);
    static const auto precise = reinterpret_cast<PreciseTimeFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME now{};
    if (precise != nullptr)
        precise(&now);
    else
        GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr uint64_t kMicrosecondsPerDay = 86'400'000'000;
    return ticks / 10 % kMicrosecondsPerDay;  // FILETIME counts 100 ns from a midnight
}

}  // namespace v270::platform
