#include "app/win32/main_window.h"

#include <thread>

#include "app/banner_blink_thread.h"
#include "app/win32/about_dialog.h"
#include "app/win32/hid_selection.h"
#include "app/win32/main_window_painter.h"
#include "app/win32/resource_ids.h"
#include "platform/win32/device_broadcast_win32.h"

namespace v270::win32 {

namespace {

void raiseCurrentThreadPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST); }

std::wstring wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

VADU_VIredoVud::VADU_VIredoVud(HINSTANCE instance, const ProgramPaths& paths)
    : instance_(instance),
      icon_(LoadIconW(instance, MAKEINTRESOURCEW(IDI_MAIN_ICON))),
      trayIcon_(kTrayIconId, kTrayCallbackMessage) {
    HidSelection hid = selectHidSystem(window_);
    state_ = std::make_unique<ProgramState>(paths, *this, std::move(hid.system));
    painter_ = std::make_unique<MainWindowPainter>(*state_);
}

VADU_VIredoVud::~VADU_VIredoVud() {
    if (trayMenu_ != nullptr) DestroyMenu(trayMenu_);
}

void VADU_VIredoVud::runModal() {
    if (!create(instance_, IDD_MAIN_WINDOW, nullptr)) return;
    MSG message;
    while (handle() != nullptr && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (preTranslateMessage(message)) continue;
        if (handle() != nullptr && IsDialogMessageW(handle(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool VADU_VIredoVud::preTranslateMessage(const MSG& message) {
    return MainWindowLifecycle::swallowedByPreFilter(message.message, message.wParam);
}

INT_PTR VADU_VIredoVud::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            window_.store(handle());
            state_->messages.setOwner(handle());
            state_->lifecycle.initialise();
            return TRUE;
        case WM_CLOSE:
            state_->lifecycle.closePath();
            return TRUE;
        case WM_COMMAND:
            return onCommand(LOWORD(wParam)) ? TRUE : FALSE;
        case kTrayCallbackMessage:
            setResult(state_->lifecycle.onTrayCallback(static_cast<uint32_t>(wParam),
                                                       static_cast<uint32_t>(lParam)));
            return TRUE;
        case WM_SYSCOMMAND:
            return state_->lifecycle.onSystemCommand(static_cast<uint32_t>(wParam)) ? TRUE : FALSE;
        case WM_POWERBROADCAST:
            state_->lifecycle.onPowerBroadcast();
            return FALSE;
        case WM_DEVICECHANGE:
            state_->lifecycle.onDeviceChange(deviceBroadcastFromMessage(wParam, lParam));
            setResult(TRUE);
            return TRUE;
        case WM_PAINT:
            onPaint();
            return TRUE;
        case WM_ERASEBKGND:
            // Every frame covers the whole window, so there is nothing to erase.
            setResult(TRUE);
            return TRUE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(icon_);
        case WM_DESTROY:
            window_.store(nullptr);
            state_->messages.setOwner(nullptr);
            PostQuitMessage(0);
            return TRUE;
        default:
            return FALSE;
    }
}

bool VADU_VIredoVud::onCommand(WORD command) {
    switch (command) {
        case ID_TRAY_EXIT_EN:
        case ID_TRAY_EXIT_CN:
            state_->lifecycle.closePath();
            return true;
        case ID_TRAY_SHOW_EN:
        case ID_TRAY_SHOW_CN:
            state_->lifecycle.showFromTray();
            return true;
        case IDOK:
        case IDCANCEL:
            // The dialog's default buttons never end it; only the close path does.
            return true;
        default:
            return false;
    }
}

void VADU_VIredoVud::onPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(handle(), &paint);
    if (IsIconic(handle())) {
        RECT client;
        GetClientRect(handle(), &client);
        const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
        DrawIcon(dc, x, y, icon_);
    } else {
        painter_->paint(dc);
    }
    EndPaint(handle(), &paint);
}

void VADU_VIredoVud::invalidate() {
    if (HWND window = window_.load()) InvalidateRect(window, nullptr, TRUE);
}

void VADU_VIredoVud::startBannerBlinkThread() {
    std::thread([this] {
        BannerBlinkThread(state_->banner, state_->currentPage, *this, *state_->clock);
    }).detach();
}

void VADU_VIredoVud::startWorkerThreads() {
    std::thread([this] {
        raiseCurrentThreadPriority();
        state_->reader.InputReaderThread({});
    }).detach();
    std::thread([this] {
        raiseCurrentThreadPriority();
        state_->executor.run({});
    }).detach();
    startBannerBlinkThread();
    state_->banner.blinkRunning.store(1);
}

void VADU_VIredoVud::addAboutItemToSystemMenu() {
    HMENU systemMenu = GetSystemMenu(handle(), FALSE);
    wchar_t text[128] = {};
    if (systemMenu == nullptr || LoadStringW(instance_, IDS_ABOUTBOX, text, 128) == 0) return;
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, kAboutCommand, text);
}

void VADU_VIredoVud::setBigIcon() {
    SendMessageW(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
}

void VADU_VIredoVud::setTitle(std::u16string_view title) {
    SetWindowTextW(handle(), wide(title).c_str());
}

void VADU_VIredoVud::createAdvancedControls() {}

void VADU_VIredoVud::createFonts() { painter_->createFonts(); }

void VADU_VIredoVud::shapeWindow() { painter_->shapeWindow(handle()); }

void VADU_VIredoVud::resetMacroEditing() {}

void VADU_VIredoVud::loadMenus(bool english) {
    if (trayMenu_ != nullptr) DestroyMenu(trayMenu_);
    trayMenu_ = LoadMenuW(instance_, MAKEINTRESOURCEW(english ? IDR_TRAY_MENU_EN : IDR_TRAY_MENU_CN));
}

void VADU_VIredoVud::addTrayIcon(std::u16string_view tip) { trayIcon_.add(handle(), icon_, tip); }

void VADU_VIredoVud::removeTrayIcon() { trayIcon_.remove(handle(), icon_); }

void VADU_VIredoVud::show(WindowShow how) {
    static constexpr int kCommands[] = {SW_SHOW, SW_RESTORE, SW_MINIMIZE, SW_HIDE};
    ShowWindow(handle(), kCommands[static_cast<int>(how)]);
}

void VADU_VIredoVud::showTrayMenu() {
    if (trayMenu_ == nullptr) return;
    POINT cursor;
    GetCursorPos(&cursor);
    SetForegroundWindow(handle());
    TrackPopupMenu(GetSubMenu(trayMenu_, 0), TPM_LEFTALIGN, cursor.x, cursor.y, 0, handle(),
                   nullptr);
}

void VADU_VIredoVud::showAboutBox() { CAboutDlg().show(instance_, handle()); }

void VADU_VIredoVud::destroy() {
    if (handle() != nullptr) DestroyWindow(handle());
}

}  // namespace v270::win32
