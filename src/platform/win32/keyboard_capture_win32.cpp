#include "platform/win32/keyboard_capture_win32.h"

#include <atomic>
#include <stop_token>

#include "platform/hand_over_queue.h"
#include "platform/hook_thread.h"

namespace v270::win32 {

namespace {

// Far more than a recording can hold: keys beyond wait for nobody.
constexpr size_t kWaitingKeys = 1024;

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

// The hook lives on a thread of its own, which runs its messages and nothing else: no work of
// the window's can keep the system waiting on a key.
class HookCapture final : public platform::KeyboardCapture {
  public:
    HookCapture(HWND window, UINT message);
    HookCapture(const HookCapture&) = delete;
    HookCapture& operator=(const HookCapture&) = delete;
    ~HookCapture() override;

    bool hook();
    std::vector<platform::CapturedKey> takeKeys() override { return keys_.takeAll(); }

    // A keystroke from the hook: it waits here, and the window is told once per batch.
    void keep(const platform::CapturedKey& key) {
        if (keys_.push(key) && !PostMessageW(window_, message_, 0, 0))
            keys_.takeAll();  // a window that cannot be told would never take them
    }

  private:
    bool install();
    void loop(std::stop_token stop);

    const HWND window_;
    const UINT message_;
    platform::HandOverQueue<platform::CapturedKey> keys_{kWaitingKeys};
    // Set and used on the hook's thread only.
    DWORD threadId_ = 0;
    HHOOK hook_ = nullptr;
    platform::HookThread thread_;  // last: it ends, the hook removed, before the rest goes
};

// The capture in place. A hook procedure has no parameter of its own, so the one capture of the
// process is known here.
std::atomic<HookCapture*> activeCapture{nullptr};

LRESULT CALLBACK keyboardHook(int code, WPARAM message, LPARAM data) {
    HookCapture* capture = activeCapture.load(std::memory_order_acquire);
    if (code == HC_ACTION && capture != nullptr) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        if (event->dwExtraInfo != platform::kOwnInputTag) {
            capture->keep({{transitionOf(message), static_cast<uint8_t>(event->vkCode & 0xFF)},
                           platform::microsecondOfDayNow()});
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, message, data);
}

HookCapture::HookCapture(HWND window, UINT message)
    : window_(window),
      message_(message),
      thread_(
          "v270 keyboard hook", [this] { return install(); },
          [this](std::stop_token stop) { loop(std::move(stop)); }) {}

bool HookCapture::hook() {
    HookCapture* none = nullptr;
    if (!activeCapture.compare_exchange_strong(none, this))
        return false;
    if (thread_.start())
        return true;
    activeCapture.store(nullptr);
    return false;
}

HookCapture::~HookCapture() {
    // The hook is gone before another capture may take the place.
    thread_.stop();
    HookCapture* self = this;
    activeCapture.compare_exchange_strong(self, nullptr);
}

bool HookCapture::install() {
    // The thread's message queue exists before a stop can post to it.
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    threadId_ = GetCurrentThreadId();
    hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, &keyboardHook, GetModuleHandleW(nullptr), 0);
    return hook_ != nullptr;
}

void HookCapture::loop(std::stop_token stop) {
    const DWORD thread = threadId_;
    const std::stop_callback quit(stop, [thread] { PostThreadMessageW(thread, WM_QUIT, 0, 0); });
    // The system calls the hook from inside this wait.
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    }
    UnhookWindowsHookEx(hook_);
}

}  // namespace

std::unique_ptr<platform::KeyboardCapture> captureKeyboard(HWND window, UINT message) {
    if (window == nullptr)
        return nullptr;
    auto capture = std::make_unique<HookCapture>(window, message);
    return capture->hook() ? std::move(capture) : nullptr;
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
