#include "app/win32/main_window.h"

#include <thread>

#include "app/banner_blink_thread.h"
#include "app/win32/about_dialog.h"
#include "app/win32/hid_selection.h"
#include "app/win32/main_window_painter.h"
#include "app/win32/resource_ids.h"
#include "app/win32/warning_dialog.h"
#include "platform/win32/device_broadcast_win32.h"
#include "ui/ui_text.h"

namespace v270::win32 {

namespace {

// Posted by the function menu when a choice is made, so that it is destroyed outside its own
// message handlers.
constexpr UINT kCloseFunctionMenuMessage = WM_APP + 1;
// The control id of the messages of menu items.
constexpr WPARAM kMenuControlId = 0;

void raiseCurrentThreadPriority() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
}

std::wstring wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

// A point in the low and high 16 bits, as mouse messages carry it.
LPARAM packPoint(Point point) {
    const auto x = static_cast<uint32_t>(point.x) & 0xFFFFu;
    const auto y = static_cast<uint32_t>(point.y) & 0xFFFFu;
    return static_cast<LPARAM>((y << 16) | x);
}

}  // namespace

VADU_VIredoVud::VADU_VIredoVud(HINSTANCE instance, const ProgramPaths& paths)
    : instance_(instance),
      icon_(LoadIconW(instance, MAKEINTRESOURCEW(IDI_MAIN_ICON))),
      trayIcon_(kTrayIconId, kTrayCallbackMessage) {
    HidSelection hid = selectHidSystem(window_);
    state_ = std::make_unique<ProgramState>(paths, *this, *this, *this, std::move(hid.system));
    painter_ = std::make_unique<MainWindowPainter>(*state_);
}

VADU_VIredoVud::~VADU_VIredoVud() = default;

void VADU_VIredoVud::runModal() {
    if (!create(instance_, IDD_MAIN_WINDOW, nullptr))
        return;
    MSG message;
    while (handle() != nullptr && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (preTranslateMessage(message))
            continue;
        if (handle() != nullptr && IsDialogMessageW(handle(), &message))
            continue;
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
            // The advanced page's controls lie over the picture: no frame paints over them,
            // whichever part of the window it repaints.
            SetWindowLongPtrW(handle(), GWL_STYLE,
                              GetWindowLongPtrW(handle(), GWL_STYLE) | WS_CLIPCHILDREN);
            state_->messages.setOwner(handle());
            state_->dialogs.setOwner(handle());
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
        case WM_MOUSEMOVE:
            state_->pointer.onMouseMove(pointOf(lParam));
            return FALSE;
        case WM_LBUTTONDOWN:
            state_->pointer.onLeftButtonDown(pointOf(lParam));
            return FALSE;
        case WM_LBUTTONUP:
            state_->pointer.onLeftButtonUp(pointOf(lParam));
            return FALSE;
        case WM_DRAWITEM:
            // Each menu item draws from its own record, so one menu draws the items of both.
            if (wParam != kMenuControlId)
                return FALSE;
            trayMenu_.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            setResult(TRUE);
            return TRUE;
        case WM_MEASUREITEM:
            if (wParam != kMenuControlId)
                return FALSE;
            trayMenu_.MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            setResult(TRUE);
            return TRUE;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC:
            return onControlColour(reinterpret_cast<HDC>(wParam));
        case kCloseFunctionMenuMessage:
            menuDialog_.reset();
            state_->pointer.functionMenuClosed();
            return TRUE;
        case WM_DESTROY:
            menuDialog_.reset();
            controls_.destroy();
            window_.store(nullptr);
            state_->messages.setOwner(nullptr);
            state_->dialogs.setOwner(nullptr);
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

HFONT VADU_VIredoVud::languageFont() const {
    const GdiFonts* fonts = painter_->fonts();
    return fonts != nullptr ? fonts->font(fontFor(state_->profiles.englishUi() != 0)) : nullptr;
}

INT_PTR VADU_VIredoVud::onControlColour(HDC dc) {
    if (HFONT font = languageFont())
        SelectObject(dc, font);
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<INT_PTR>(controlBrush_.get());
}

void VADU_VIredoVud::invalidate() {
    if (HWND window = window_.load())
        InvalidateRect(window, nullptr, TRUE);
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
    if (systemMenu == nullptr || LoadStringW(instance_, IDS_ABOUTBOX, text, 128) == 0)
        return;
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, kAboutCommand, text);
}

void VADU_VIredoVud::setBigIcon() {
    SendMessageW(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
}

void VADU_VIredoVud::setTitle(std::u16string_view title) {
    SetWindowTextW(handle(), wide(title).c_str());
}

// The control objects are the page's AdvancedPageControls; their windows come with the page.
void VADU_VIredoVud::createAdvancedControls() {}

void VADU_VIredoVud::createFonts() {
    painter_->createFonts();
}

void VADU_VIredoVud::shapeWindow() {
    painter_->shapeWindow(handle());
}

void VADU_VIredoVud::resetMacroEditing() {}

void VADU_VIredoVud::loadMenus(bool english) {
    contextMenu_.load(instance_, english ? IDR_CONTEXT_MENU_EN : IDR_CONTEXT_MENU_CN);
    trayMenu_.load(instance_, english ? IDR_TRAY_MENU_EN : IDR_TRAY_MENU_CN);
}

void VADU_VIredoVud::addTrayIcon(std::u16string_view tip) {
    trayIcon_.add(handle(), icon_, tip);
}

void VADU_VIredoVud::removeTrayIcon() {
    trayIcon_.remove(handle(), icon_);
}

void VADU_VIredoVud::show(WindowShow how) {
    static constexpr int kCommands[] = {SW_SHOW, SW_RESTORE, SW_MINIMIZE, SW_HIDE};
    ShowWindow(handle(), kCommands[static_cast<int>(how)]);
}

void VADU_VIredoVud::showTrayMenu() {
    HMENU popup = trayMenu_.popup(0);
    if (popup == nullptr)
        return;
    POINT cursor;
    GetCursorPos(&cursor);
    SetForegroundWindow(handle());
    TrackPopupMenu(popup, TPM_LEFTALIGN, cursor.x, cursor.y, 0, handle(), nullptr);
}

void VADU_VIredoVud::showAboutBox() {
    CAboutDlg().show(instance_, handle());
}

void VADU_VIredoVud::destroy() {
    if (handle() != nullptr)
        DestroyWindow(handle());
}

void VADU_VIredoVud::invalidateAdvancedRegion() {
    HRGN region = painter_->advancedRedrawRegion();
    if (region == nullptr) {
        invalidate();
        return;
    }
    InvalidateRgn(handle(), region, TRUE);
}

void VADU_VIredoVud::updateNow() {
    UpdateWindow(handle());
}

void VADU_VIredoVud::startDrag(Point point) {
    PostMessageW(handle(), WM_NCLBUTTONDOWN, HTCAPTION, packPoint(point));
}

void VADU_VIredoVud::postMinimise(Point point) {
    PostMessageW(handle(), WM_SYSCOMMAND, SC_MINIMIZE, packPoint(point));
}

void VADU_VIredoVud::hideToTray() {
    state_->lifecycle.hideToTray();
}

void VADU_VIredoVud::createAdvancedPageWindows() {
    controls_.create(instance_, handle(), state_->tables, languageFont());
}

void VADU_VIredoVud::destroyAdvancedPageWindows() {
    controls_.destroy();
}

void VADU_VIredoVud::refreshMacroList() {
    controls_.refreshMacroList(state_->macros);
}

// The macro entries of the advanced page belong to the macro editor, which is not here yet.
void VADU_VIredoVud::advancedMacroEntry(int32_t) {}

// The colour page has no preview thread yet: nothing runs, so nothing is left running.
void VADU_VIredoVud::startLedPreviewThread() {
    state_->previewThreadRunning.store(0);
}

Point VADU_VIredoVud::screenOrigin() {
    RECT window{};
    GetWindowRect(handle(), &window);
    return {window.left, window.top};
}

PopupEnvironment VADU_VIredoVud::popupEnvironment() {
    return PopupEnvironment{instance_,          state_->paths.skinFolder, painter_->decoder(),
                            *painter_->fonts(), state_->profiles,         state_->macros,
                            state_->tables,     state_->subMenuChoices,   *this};
}

int32_t VADU_VIredoVud::showWarning(Point origin) {
    if (painter_->fonts() == nullptr)
        return kWarningCancelled;
    WarningDlg warning(popupEnvironment(), origin);
    return warning.show(handle());
}

void VADU_VIredoVud::openFunctionMenu(Point origin) {
    menuDialog_.reset();
    if (painter_->fonts() == nullptr)
        return;
    auto menu = std::make_unique<CMenuDlg>(popupEnvironment());
    if (menu->open(handle(), origin))
        menuDialog_ = std::move(menu);
}

void VADU_VIredoVud::closeFunctionMenu() {
    menuDialog_.reset();
}

int VADU_VIredoVud::menuSlot() const {
    return state_->pointer.menuSlot();
}

void VADU_VIredoVud::functionChosen() {
    InvalidateRect(handle(), nullptr, TRUE);
    UpdateWindow(handle());
}

void VADU_VIredoVud::requestMenuClose() {
    PostMessageW(handle(), kCloseFunctionMenuMessage, 0, 0);
}

}  // namespace v270::win32
