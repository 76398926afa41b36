#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

#include "platform/notice_window.h"
#include "platform/win32/gdi_objects.h"

namespace v270::win32 {

// The notice as a small layered window at the bottom right of the work area of the monitor the
// user looks at (the foreground window's), in that monitor's scale: topmost, click-through, never
// activated, without a taskbar button. It belongs to the thread that made it, which runs its
// messages; show() from any thread hands the text over with a posted message. Its timer runs only
// while it shows or fades.
class Win32NoticeWindow final : public platform::NoticeWindow {
  public:
    static constexpr const wchar_t* kClassName = L"V270 Notice";

    explicit Win32NoticeWindow(HINSTANCE instance);
    Win32NoticeWindow(const Win32NoticeWindow&) = delete;
    Win32NoticeWindow& operator=(const Win32NoticeWindow&) = delete;
    ~Win32NoticeWindow() override;

    void show(std::u16string_view text, platform::FontChoice font) override;

    // Destroys the window, on the thread that made it; notices asked for later are dropped.
    void close();

  private:
    enum class Phase { Hidden, Holding, Fading };

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The two fonts at `dpi`, made again only when the scale changed.
    void useFontsFor(int dpi);
    void showPending(HWND window);
    void onTimer(HWND window);
    void paint(HWND window);
    void hide(HWND window);

    HINSTANCE instance_;
    bool classRegistered_ = false;
    UniqueBrush background_;
    // The window's thread only.
    int dpi_ = 0;
    UniqueFont english_;
    UniqueFont chinese_;
    // Null before creation and after close; other threads read it to post to.
    std::atomic<HWND> window_{nullptr};

    // The newest text asked for, until the window's thread takes it.
    std::mutex pendingMutex_;
    std::u16string pendingText_;
    platform::FontChoice pendingFont_ = platform::FontChoice::English;

    // The window's thread only.
    std::wstring text_;
    HFONT font_ = nullptr;
    Phase phase_ = Phase::Hidden;
    int alpha_ = 0;
};

}  // namespace v270::win32
