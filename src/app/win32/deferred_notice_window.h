#pragma once

#include <windows.h>

#include <mutex>
#include <optional>
#include <string>

#include "platform/notice_window.h"
#include "platform/win32/notice_window_win32.h"

namespace v270::win32 {

// The on-screen notice, whose window is made only once the main window shows its first frame:
// the first window of a process is the slowest to make, and the notice is not seen before a
// button is pressed. A notice asked for before then waits and shows when the window is made.
class DeferredNoticeWindow final : public platform::NoticeWindow {
  public:
    void show(std::u16string_view text, platform::FontChoice font) override;

    // Makes the window on the calling thread, which runs its messages; later calls do nothing.
    void create(HINSTANCE instance);
    // Destroys the window, on the thread that made it; notices asked for later are dropped.
    void close();

  private:
    std::mutex mutex_;
    std::optional<Win32NoticeWindow> window_;
    bool closed_ = false;
    std::optional<std::pair<std::u16string, platform::FontChoice>> waiting_;
};

}  // namespace v270::win32
