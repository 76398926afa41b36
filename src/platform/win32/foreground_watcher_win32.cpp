#include "platform/win32/foreground_watcher_win32.h"

#include <atomic>
#include <vector>

#include "platform/win32/unique_handle.h"

namespace v270::win32 {

namespace {

// A win event procedure has no parameter of its own, so the one watcher of the process that
// watches is known here.
std::atomic<Win32ForegroundWatcher*> activeWatcher{nullptr};

// The longest path Windows has, with its terminating NUL.
constexpr DWORD kLongestPath = 32768;

}  // namespace

std::u16string executablePathOf(DWORD processId) {
    // Unlike the full query right, the limited one is granted for elevated processes too.
    const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return {};
    std::vector<wchar_t> path(kLongestPath);
    DWORD size = kLongestPath;
    if (!QueryFullProcessImageNameW(process.get(), 0, path.data(), &size))
        return {};
    return std::u16string(path.begin(), path.begin() + size);
}

bool Win32ForegroundWatcher::start(Listener listener) {
    if (hook_ != nullptr) {
        listener_ = std::move(listener);
        return true;
    }
    Win32ForegroundWatcher* none = nullptr;
    if (!activeWatcher.compare_exchange_strong(none, this))
        return false;
    listener_ = std::move(listener);
    // Events of this process come too: the program's own window in front matters.
    hook_ = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, &onEvent, 0,
                            0, WINEVENT_OUTOFCONTEXT);
    if (hook_ == nullptr) {
        listener_ = nullptr;
        activeWatcher.store(nullptr);
        return false;
    }
    // An application already in front when the program starts (in the tray) or the feature is
    // turned on gets its profile without waiting for the next change.
    if (const HWND front = GetForegroundWindow())
        deliver(front);
    return true;
}

void Win32ForegroundWatcher::stop() {
    if (hook_ == nullptr)
        return;
    UnhookWinEvent(hook_);
    hook_ = nullptr;
    listener_ = nullptr;
    activeWatcher.store(nullptr);
}

void CALLBACK Win32ForegroundWatcher::onEvent(HWINEVENTHOOK hook, DWORD event, HWND window,
                                              LONG object, LONG child, DWORD, DWORD) {
    Win32ForegroundWatcher* watcher = activeWatcher.load();
    if (watcher == nullptr || hook != watcher->hook_ || event != EVENT_SYSTEM_FOREGROUND ||
        window == nullptr || object != OBJID_WINDOW || child != CHILDID_SELF) {
        return;
    }
    watcher->deliver(window);
}

void Win32ForegroundWatcher::deliver(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    platform::ForegroundChange change;
    change.ownWindow = processId == GetCurrentProcessId();
    change.executablePath = executablePathOf(processId);
    // A copy: the listener may stop the watcher.
    const Listener listener = listener_;
    if (listener)
        listener(change);
}

}  // namespace v270::win32
