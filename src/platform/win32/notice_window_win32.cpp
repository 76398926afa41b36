#include "platform/win32/notice_window_win32.h"

#include <utility>

#include "platform/notice_placement.h"
#include "platform/win32/display_dpi.h"

namespace v270::win32 {

namespace {

// Asks the window's thread to show the pending text.
constexpr UINT kShowPendingMessage = WM_APP + 1;
constexpr UINT_PTR kTimerId = 1;

// About a second at full strength, then a fade of 400 ms.
constexpr UINT kHoldMilliseconds = 1000;
constexpr UINT kFadeStepMilliseconds = 40;
constexpr int kOpaqueAlpha = 235;
constexpr int kFadeSteps = 10;

// The owner-drawn menus' colours: white on teal, framed in cyan.
constexpr COLORREF kBackground = RGB(0, 120, 153);
constexpr COLORREF kFrame = RGB(0, 255, 255);
constexpr COLORREF kText = RGB(255, 255, 255);

// The interface font of the language, larger, at the monitor's scale.
HFONT createFont(const wchar_t* face, DWORD pitch, int dpi) {
    return CreateFontW(-MulDiv(platform::kNoticeFontPoints, dpi, 72), 0, 0, 0, FW_SEMIBOLD, FALSE,
                       FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       CLEARTYPE_QUALITY, pitch, face);
}

// The monitor the user looks at: the foreground window's (a game, or the program's own window),
// the primary one when no window is in front.
HMONITOR watchedMonitor() {
    if (HWND foreground = GetForegroundWindow())
        return MonitorFromWindow(foreground, MONITOR_DEFAULTTOPRIMARY);
    return MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

platform::PixelRect workAreaOf(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (monitor != nullptr && GetMonitorInfoW(monitor, &info) != FALSE)
        return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace

Win32NoticeWindow::Win32NoticeWindow(HINSTANCE instance)
    : instance_(instance), background_(CreateSolidBrush(kBackground)) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &Win32NoticeWindow::procedure;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    classRegistered_ = RegisterClassExW(&windowClass) != 0;
    // Hidden, it costs nothing: no timer, no painting, until the first notice.
    CreateWindowExW(
        WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
        kClassName, L"V270 Notice", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_, this);
}

Win32NoticeWindow::~Win32NoticeWindow() {
    close();
    if (classRegistered_)
        UnregisterClassW(kClassName, instance_);
}

void Win32NoticeWindow::close() {
    if (HWND window = window_.exchange(nullptr))
        DestroyWindow(window);
}

void Win32NoticeWindow::show(std::u16string_view text, platform::FontChoice font) {
    {
        const std::lock_guard lock(pendingMutex_);
        pendingText_.assign(text);
        pendingFont_ = font;
    }
    // Several notices asked for before the window's thread gets to them show only the newest.
    if (HWND window = window_.load())
        PostMessageW(window, kShowPendingMessage, 0, 0);
}

LRESULT CALLBACK Win32NoticeWindow::procedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32NoticeWindow*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_.store(window);
    }
    auto* self = reinterpret_cast<Win32NoticeWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->handleMessage(window, message, wParam, lParam);
}

LRESULT Win32NoticeWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kShowPendingMessage:
            showPending(window);
            return 0;
        case WM_TIMER:
            if (wParam == kTimerId)
                onTimer(window);
            return 0;
        case WM_PAINT:
            paint(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the painting covers the whole window
        case WM_DPICHANGED:
            return 0;  // placed and sized for its monitor when shown; the suggestion would undo it
        case WM_NCHITTEST:
            return HTTRANSPARENT;  // the pointer goes to the window beneath
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            window_.store(nullptr);
            return DefWindowProcW(window, message, wParam, lParam);
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void Win32NoticeWindow::useFontsFor(int dpi) {
    if (dpi == dpi_ && english_ && chinese_)
        return;
    dpi_ = dpi;
    english_.reset(createFont(L"Consolas", FIXED_PITCH | FF_MODERN, dpi));
    chinese_.reset(createFont(L"\u5B8B\u4F53", DEFAULT_PITCH | FF_SWISS, dpi));  // 宋体
}

void Win32NoticeWindow::showPending(HWND window) {
    std::u16string text;
    platform::FontChoice font{};
    {
        const std::lock_guard lock(pendingMutex_);
        text = std::exchange(pendingText_, {});
        font = pendingFont_;
    }
    if (text.empty())
        return;  // an earlier message took it
    text_.assign(text.begin(), text.end());
    const HMONITOR monitor = watchedMonitor();
    useFontsFor(monitorDpi(monitor));
    font_ = font == platform::FontChoice::English ? english_.get() : chinese_.get();

    SIZE extent{};
    if (HDC dc = GetDC(window)) {
        const ScopedSelection selected(dc, font_);
        GetTextExtentPoint32W(dc, text_.c_str(), static_cast<int>(text_.size()), &extent);
        ReleaseDC(window, dc);
    }
    const platform::PixelRect place =
        platform::noticePlacement(workAreaOf(monitor), {extent.cx, extent.cy}, dpi_);

    alpha_ = kOpaqueAlpha;
    SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(alpha_), LWA_ALPHA);
    SetWindowPos(window, HWND_TOPMOST, place.left, place.top, place.width(), place.height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(window, nullptr, FALSE);
    // A notice that replaces one still showing starts its second again.
    phase_ = Phase::Holding;
    SetTimer(window, kTimerId, kHoldMilliseconds, nullptr);
}

void Win32NoticeWindow::onTimer(HWND window) {
    if (phase_ == Phase::Holding) {
        phase_ = Phase::Fading;
        SetTimer(window, kTimerId, kFadeStepMilliseconds, nullptr);
        return;
    }
    alpha_ -= kOpaqueAlpha / kFadeSteps;
    if (phase_ != Phase::Fading || alpha_ <= 0) {
        hide(window);
        return;
    }
    SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(alpha_), LWA_ALPHA);
}

void Win32NoticeWindow::hide(HWND window) {
    KillTimer(window, kTimerId);
    ShowWindow(window, SW_HIDE);
    phase_ = Phase::Hidden;
}

void Win32NoticeWindow::paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    FillRect(dc, &client, background_.get());
    {
        UniqueGdiObject<HBRUSH> frame(CreateSolidBrush(kFrame));
        FrameRect(dc, &client, frame.get());
    }
    const ScopedSelection selected(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kText);
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &client,
              DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    EndPaint(window, &paint);
}

}  // namespace v270::win32
