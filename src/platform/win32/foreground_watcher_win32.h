#pragma once

#include <windows.h>

#include "platform/foreground_watcher.h"

namespace v270::win32 {

// The foreground changes as the system announces them (EVENT_SYSTEM_FOREGROUND), out of
// context: the event comes to the thread that started watching, through its messages, and no
// code of this program runs in another process. The hook is in place only while watching; it
// goes with stop() and with this object, and the system removes it if the process ends any other
// way. One watcher of the process watches at a time; start() and stop() run on the window's
// thread.
class Win32ForegroundWatcher final : public platform::ForegroundWatcher {
  public:
    Win32ForegroundWatcher() = default;
    Win32ForegroundWatcher(const Win32ForegroundWatcher&) = delete;
    Win32ForegroundWatcher& operator=(const Win32ForegroundWatcher&) = delete;
    ~Win32ForegroundWatcher() override { stop(); }

    bool start(Listener listener) override;
    void stop() override;
    bool watching() const override { return hook_ != nullptr; }

  private:
    static void CALLBACK onEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                 LONG child, DWORD thread, DWORD time);
    void deliver(HWND window);

    HWINEVENTHOOK hook_ = nullptr;
    Listener listener_;
};

// The full path of a process's executable; empty when the process cannot be asked.
std::u16string executablePathOf(DWORD processId);

}  // namespace v270::win32
