#pragma once

#include <windows.h>

#include "platform/one_shot_timer.h"

namespace v270::win32 {

// The wait as a system timer of a message-only window of its own, made by the first wait on
// the thread that waits, whose messages run the action: a program that never waits makes no
// window. The timer exists only while a wait is pending.
class Win32OneShotTimer final : public platform::OneShotTimer {
  public:
    Win32OneShotTimer() = default;
    Win32OneShotTimer(const Win32OneShotTimer&) = delete;
    Win32OneShotTimer& operator=(const Win32OneShotTimer&) = delete;
    ~Win32OneShotTimer() override;

    void start(std::chrono::milliseconds delay, std::function<void()> action) override;
    void cancel() override;
    bool pending() const override { return pending_; }

  private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    bool createWindow();
    void fire();

    HWND window_ = nullptr;
    bool pending_ = false;
    std::function<void()> action_;
};

}  // namespace v270::win32
