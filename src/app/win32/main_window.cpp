#include "app/win32/main_window.h"

#include <span>

#include "app/win32/about_dialog.h"
#include "app/win32/advanced_page_controls.h"
#include "app/win32/app_profiles_dialog.h"
#include "app/win32/main_window_painter.h"
#include "app/win32/message_filter.h"
#include "app/win32/resource_ids.h"
#include "app/win32/script_front.h"
#include "app/win32/warning_dialog.h"
#include "app/win32/window_messages.h"
#include "platform/file_system.h"
#include "platform/system_clock.h"
#include "platform/win32/copy_data.h"
#include "platform/win32/display_dpi.h"
#include "platform/win32/hid_win32.h"
#include "platform/win32/keyboard_capture_win32.h"
#include "settings/text.h"
#include "ui/profile_file_text.h"
#include "ui/ui_text.h"

namespace v270::win32 {

namespace {

// The control id of the messages of menu items.
constexpr WPARAM kMenuControlId = 0;
// A command front that does not take the answer to its script request in this time is left.
constexpr UINT kReplyTimeoutMs = 5000;

// A key message of a window as the recording takes it; nullopt for any other message.
std::optional<platform::KeyMessage> keyMessageOf(UINT message, WPARAM key) {
    platform::KeyTransition transition{};
    switch (message) {
        case WM_KEYDOWN:
            transition = platform::KeyTransition::Down;
            break;
        case WM_KEYUP:
            transition = platform::KeyTransition::Up;
            break;
        case WM_SYSKEYDOWN:
            transition = platform::KeyTransition::SystemDown;
            break;
        case WM_SYSKEYUP:
            transition = platform::KeyTransition::SystemUp;
            break;
        default:
            return std::nullopt;
    }
    return platform::KeyMessage{transition, static_cast<uint8_t>(key & 0xFF)};
}

// The step list's context menu commands, English and Chinese ids alike.
std::optional<StepCommand> stepCommandOf(WORD command) {
    using Kind = StepCommand::Kind;
    struct Entry {
        WORD english;
        WORD chinese;
        StepCommand command;
    };
    static constexpr Entry kCommands[] = {
        {ID_STEP_FORWARD_LEFT_DOWN_EN,
         ID_STEP_FORWARD_LEFT_DOWN_CN,
         {Kind::AddForward, kMouseLeftKey, kStepPress}},
        {ID_STEP_FORWARD_LEFT_UP_EN,
         ID_STEP_FORWARD_LEFT_UP_CN,
         {Kind::AddForward, kMouseLeftKey, kStepRelease}},
        {ID_STEP_FORWARD_RIGHT_DOWN_EN,
         ID_STEP_FORWARD_RIGHT_DOWN_CN,
         {Kind::AddForward, kMouseRightKey, kStepPress}},
        {ID_STEP_FORWARD_RIGHT_UP_EN,
         ID_STEP_FORWARD_RIGHT_UP_CN,
         {Kind::AddForward, kMouseRightKey, kStepRelease}},
        {ID_STEP_FORWARD_MIDDLE_DOWN_EN,
         ID_STEP_FORWARD_MIDDLE_DOWN_CN,
         {Kind::AddForward, kMouseMiddleKey, kStepPress}},
        {ID_STEP_FORWARD_MIDDLE_UP_EN,
         ID_STEP_FORWARD_MIDDLE_UP_CN,
         {Kind::AddForward, kMouseMiddleKey, kStepRelease}},
        {ID_STEP_BACKWARD_LEFT_DOWN_EN,
         ID_STEP_BACKWARD_LEFT_DOWN_CN,
         {Kind::AddBackward, kMouseLeftKey, kStepPress}},
        {ID_STEP_BACKWARD_LEFT_UP_EN,
         ID_STEP_BACKWARD_LEFT_UP_CN,
         {Kind::AddBackward, kMouseLeftKey, kStepRelease}},
        {ID_STEP_BACKWARD_RIGHT_DOWN_EN,
         ID_STEP_BACKWARD_RIGHT_DOWN_CN,
         {Kind::AddBackward, kMouseRightKey, kStepPress}},
        {ID_STEP_BACKWARD_RIGHT_UP_EN,
         ID_STEP_BACKWARD_RIGHT_UP_CN,
         {Kind::AddBackward, kMouseRightKey, kStepRelease}},
        {ID_STEP_BACKWARD_MIDDLE_DOWN_EN,
         ID_STEP_BACKWARD_MIDDLE_DOWN_CN,
         {Kind::AddBackward, kMouseMiddleKey, kStepPress}},
        {ID_STEP_BACKWARD_MIDDLE_UP_EN,
         ID_STEP_BACKWARD_MIDDLE_UP_CN,
         {Kind::AddBackward, kMouseMiddleKey, kStepRelease}},
        {ID_STEP_MODIFY_DELAY_EN, ID_STEP_MODIFY_DELAY_CN, {Kind::ModifyDelay, 0, 0}},
        {ID_STEP_DELETE_EN, ID_STEP_DELETE_CN, {Kind::Delete, 0, 0}},
    };
    for (const Entry& entry : kCommands) {
        if (command == entry.english || command == entry.chinese)
            return entry.command;
    }
    return std::nullopt;
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

VADU_VIredoVud::VADU_VIredoVud(HINSTANCE instance, const ProgramPaths& paths,
                               const CommandLineOptions& options)
    : instance_(instance),
      prefetch_(
          MainWindowPainter::prefetch(paths.skinFolder, DisplayScale::fromDpi(windowDpi(nullptr)))),
      startOptions_(options),
      icon_(LoadIconW(instance, MAKEINTRESOURCEW(IDI_MAIN_ICON))),
      trayIcon_(kTrayIconId, kTrayCallbackMessage),
      clock_(platform::createSystemClock()),
      input_(platform::createSyntheticInput()),
      systemActions_(platform::createSystemActions()),
      hid_(std::make_unique<Win32HidSystem>(window_)) {
    program_ = std::make_unique<Program>(
        paths,
        ProgramPlatform{*this, messages_, dialogs_, systemSettings_, *input_, *systemActions_,
                        *clock_, *hid_, foregroundWatcher_, settleTimer_, notice_, fileSystem_});
    painter_ = std::make_unique<MainWindowPainter>(*program_, std::move(prefetch_));
    startWithWindows_ = std::make_unique<StartWithWindows>(
        logonTask_, fileSecurity_, messages_, pathToUtf16(platform::currentModulePath()));
}

VADU_VIredoVud::~VADU_VIredoVud() {
    // A window still up (its creation half failed) goes while the program can hear of it.
    if (handle() != nullptr)
        DestroyWindow(handle());
    menuDialog_.reset();
    painter_.reset();
    // The worker threads end here, joined, while everything they use still exists.
    program_.reset();
}

void VADU_VIredoVud::runModal() {
    keepHidden_ = startOptions_.tray;
    const bool created = create(instance_, IDD_MAIN_WINDOW, nullptr);
    keepHidden_ = false;
    if (!created)
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
    AdvancedPage& page = program_->advancedPage;
    // Without the system's keys, a recording takes the key messages of this thread's windows;
    // with them, such a message tells that the capture was lost. The program's own synthetic
    // input is not recorded.
    if (page.recording() && GetMessageExtraInfo() != static_cast<LPARAM>(platform::kOwnInputTag)) {
        if (const std::optional<platform::KeyMessage> key =
                keyMessageOf(message.message, message.wParam)) {
            if (page.onWindowKey(*key, platform::microsecondOfDayNow()) ==
                RecordOutcome::PassedOn) {
                return false;
            }
        }
    }
    if (onNavigationKey(message))
        return true;
    return swallowedByPreFilter(message);
}

void VADU_VIredoVud::onInitDialog() {
    window_.store(handle());
    // The advanced page's controls lie over the picture: no frame paints over them, whichever
    // part of the window it repaints.
    SetWindowLongPtrW(handle(), GWL_STYLE,
                      GetWindowLongPtrW(handle(), GWL_STYLE) | WS_CLIPCHILDREN);
    messages_.setOwner(handle());
    dialogs_.setOwner(handle());
    // Programs without administrator rights (V270Cmd.exe) may hand this window a profile
    // request, which it checks byte for byte; every other message of theirs stays out.
    ChangeWindowMessageFilterEx(handle(), WM_COPYDATA, MSGFLT_ALLOW, nullptr);

    HMENU systemMenu = GetSystemMenu(handle(), FALSE);
    wchar_t aboutText[128] = {};
    if (systemMenu != nullptr && LoadStringW(instance_, IDS_ABOUTBOX, aboutText, 128) != 0) {
        AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        // Its text follows the interface language, set with the other menus.
        AppendMenuW(systemMenu, MF_STRING, kExportProfileCommand, L"");
        AppendMenuW(systemMenu, MF_STRING, kImportProfileCommand, L"");
        AppendMenuW(systemMenu, MF_STRING, kAppProfilesCommand, L"");
        AppendMenuW(systemMenu, MF_STRING, kAboutCommand, aboutText);
    }
    SendMessageW(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    // An elevated window hears nothing from the unelevated shell unless let through.
    if (taskbarCreatedMessage_ != 0)
        ChangeWindowMessageFilterEx(handle(), taskbarCreatedMessage_, MSGFLT_ALLOW, nullptr);
    applyScale(windowDpi(handle()));

    if (program_->lifecycle.initialise(startOptions_))
        program_->appProfiles.start();
}

INT_PTR VADU_VIredoVud::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!program_)
        return FALSE;
    MainWindowLifecycle& lifecycle = program_->lifecycle;
    MainWindowPointer& pointer = program_->pointer;
    if (message == taskbarCreatedMessage_ && message != 0) {
        // Explorer restarted: its new taskbar has none of the old icons.
        restoreTrayIcon();
        return FALSE;
    }
    switch (message) {
        case WM_INITDIALOG:
            onInitDialog();
            return TRUE;
        case WM_CLOSE:
            lifecycle.closePath();
            return TRUE;
        case WM_COMMAND:
            return onCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
        case kCapturedKeyMessage:
            program_->advancedPage.onCapturedKeysWaiting();
            return TRUE;
        case kStepListRightClickMessage: {
            const auto row = static_cast<int32_t>(wParam & 0x7FFFFFFF);
            const Point screen{static_cast<short>(LOWORD(lParam)),
                               static_cast<short>(HIWORD(lParam))};
            program_->advancedPage.onStepListRightClick({row, (wParam & 0x80000000u) != 0, screen});
            return TRUE;
        }
        case WM_LISTEDIT_DONE:
            program_->advancedPage.onStepEditDone();
            return TRUE;
        case WM_SHOWWINDOW:
            // Hidden: no recording may go on capturing the keyboard out of sight.
            if (wParam == FALSE)
                program_->advancedPage.stopRecording();
            return FALSE;
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED)
                program_->advancedPage.stopRecording();
            return FALSE;
        case kTrayCallbackMessage:
            setResult(onTrayCallback(static_cast<UINT>(wParam), static_cast<UINT>(lParam)));
            return TRUE;
        case WM_SYSCOMMAND:
            return onSystemCommand(wParam) ? TRUE : FALSE;
        case WM_COPYDATA:
            setResult(onCopyData(reinterpret_cast<HWND>(wParam),
                                 reinterpret_cast<const COPYDATASTRUCT*>(lParam)));
            return TRUE;
        case WM_WINDOWPOSCHANGING:
            if (keepHidden_)
                reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
            return FALSE;
        case WM_TIMER:
            if (wParam != kTrayRetryTimer)
                return FALSE;
            restoreTrayIcon();
            return TRUE;
        case WM_POWERBROADCAST:
            lifecycle.onPowerEvent();
            return FALSE;
        case WM_DEVICECHANGE:
            // TRUE approves a query-remove: the handles are closed by then.
            if (const auto notice = hid_->noticeFromMessage(wParam, lParam))
                lifecycle.onDeviceNotice(*notice);
            setResult(TRUE);
            return TRUE;
        case WM_PAINT:
            onPaint();
            return TRUE;
        case WM_GETOBJECT:
            setResult(onGetObject(wParam, lParam));
            return TRUE;
        case kAccessiblePressMessage:
            onAccessiblePress(wParam, lParam);
            return TRUE;
        case WM_DPICHANGED:
            onDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return TRUE;
        case kGetDpiScaledSizeMessage:
            return onGetDpiScaledSize(static_cast<int32_t>(wParam),
                                      *reinterpret_cast<SIZE*>(lParam))
                       ? TRUE
                       : FALSE;
        case WM_ERASEBKGND:
            // Every frame covers the whole window, so there is nothing to erase.
            setResult(TRUE);
            return TRUE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(icon_);
        case WM_MOUSEMOVE:
            pointer.onMouseMove(pointOf(lParam));
            return FALSE;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // The dialog class counts a second press soon after the first as a double click;
            // on this window every press is a press of its own (the + of the fire interval
            // twice, or the record button started and stopped at once).
            program_->keyboard.onPointerPress();
            pointer.onLeftButtonDown(pointOf(lParam));
            return FALSE;
        case WM_LBUTTONUP:
            pointer.onLeftButtonUp(pointOf(lParam));
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
            program_->mainPage.functionMenuClosed();
            return TRUE;
        case WM_DESTROY:
            stopAccessibility();
            program_->appProfiles.stop();
            menuDialog_.reset();
            // The child controls go with this window; their owner lets go of them first.
            program_->advancedPage.leave();
            window_.store(nullptr);
            notice_.close();
            messages_.setOwner(nullptr);
            dialogs_.setOwner(nullptr);
            PostQuitMessage(0);
            return TRUE;
        default:
            return FALSE;
    }
}

bool VADU_VIredoVud::onCommand(WORD command, WORD notification) {
    if (command == AdvancedPageControls::kMacroListId) {
        if (notification == LBN_SELCHANGE)
            program_->advancedPage.onMacroSelected();
        return true;
    }
    if (const std::optional<StepCommand> step = stepCommandOf(command)) {
        program_->advancedPage.onStepCommand(*step);
        return true;
    }
    switch (command) {
        case ID_TRAY_EXIT_EN:
        case ID_TRAY_EXIT_CN:
            program_->lifecycle.closePath();
            return true;
        case ID_TRAY_SHOW_EN:
        case ID_TRAY_SHOW_CN:
            program_->lifecycle.onShowWindowCommand();
            return true;
        case ID_TRAY_START_WITH_WINDOWS_EN:
        case ID_TRAY_START_WITH_WINDOWS_CN:
            startWithWindows_->toggle(program_->lifecycle.english());
            return true;
        case ID_TRAY_NOTICE_EN:
        case ID_TRAY_NOTICE_CN:
            program_->notice.setEnabled(!program_->notice.enabled());
            return true;
        case ID_TRAY_KEEP_RUNNING_EN:
        case ID_TRAY_KEEP_RUNNING_CN:
            program_->lifecycle.setKeepRunningWithoutMouse(
                !program_->lifecycle.keepsRunningWithoutMouse());
            return true;
        case ID_TRAY_APP_PROFILES_EN:
        case ID_TRAY_APP_PROFILES_CN:
            program_->lifecycle.onAppProfilesRequested(*this, program_->appProfiles);
            return true;
        case ID_TRAY_EXPORT_PROFILE_EN:
        case ID_TRAY_EXPORT_PROFILE_CN:
            program_->profileFiles.exportProfile();
            return true;
        case ID_TRAY_IMPORT_PROFILE_EN:
        case ID_TRAY_IMPORT_PROFILE_CN:
            program_->profileFiles.importProfile();
            return true;
        case IDOK:
        case IDCANCEL:
            // The dialog's default buttons never end it; only the close path does.
            return true;
        default:
            return false;
    }
}

INT_PTR VADU_VIredoVud::onTrayCallback(UINT iconId, UINT mouseMessage) {
    if (iconId != kTrayIconId)
        return 1;
    if (mouseMessage == WM_LBUTTONDBLCLK) {
        program_->lifecycle.onTrayDoubleClick();
    } else if (mouseMessage == WM_RBUTTONUP) {
        program_->lifecycle.onTrayMenuRequested();
    }
    return 0;
}

INT_PTR VADU_VIredoVud::onCopyData(HWND from, const COPYDATASTRUCT* data) {
    // Another process's bytes, valid only during this call; the lifecycle and the script
    // requests check them.
    if (data == nullptr || (data->lpData == nullptr && data->cbData != 0))
        return FALSE;
    const std::span<const uint8_t> bytes(static_cast<const uint8_t*>(data->lpData), data->cbData);
    if (program_->lifecycle.onInstanceRequest(data->dwData, bytes))
        return TRUE;
    // A script's request is answered to the command front's reply window only: any other
    // window named as the sender gets nothing, and nothing is done.
    wchar_t className[32] = {};
    if (from == nullptr || program_->lifecycle.closed() ||
        GetClassNameW(from, className, 32) == 0 ||
        std::wstring_view(className) != kScriptReplyWindowClass) {
        return FALSE;
    }
    std::optional<std::vector<uint8_t>> reply = program_->scripts.answer(data->dwData, bytes);
    if (!reply)
        return FALSE;
    return sendCopyData(from, static_cast<ULONG_PTR>(kScriptReplyTag), *reply, kReplyTimeoutMs)
               ? TRUE
               : FALSE;
}

bool VADU_VIredoVud::onSystemCommand(WPARAM command) {
    const WPARAM kind = command & 0xFFF0u;
    if (kind == kAboutCommand) {
        program_->lifecycle.onAboutRequested();
        return true;
    }
    if (kind == kExportProfileCommand) {
        program_->profileFiles.exportProfile();
        return true;
    }
    if (kind == kImportProfileCommand) {
        program_->profileFiles.importProfile();
        return true;
    }
    if (kind == kAppProfilesCommand) {
        program_->lifecycle.onAppProfilesRequested(*this, program_->appProfiles);
        return true;
    }
    if (kind == SC_MINIMIZE) {
        program_->lifecycle.onMinimiseRequested();
        return true;
    }
    return false;
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

HFONT VADU_VIredoVud::languageFont(bool english) const {
    const GdiFonts* fonts = painter_->fonts();
    return fonts != nullptr ? fonts->font(fontFor(english)) : nullptr;
}

INT_PTR VADU_VIredoVud::onControlColour(HDC dc) {
    if (HFONT font = languageFont(program_->lifecycle.english()))
        SelectObject(dc, font);
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<INT_PTR>(controlBrush_.get());
}

void VADU_VIredoVud::invalidate() {
    if (HWND window = window_.load())
        InvalidateRect(window, nullptr, TRUE);
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

void VADU_VIredoVud::setTitle(std::u16string_view title) {
    SetWindowTextW(handle(), wide(title).c_str());
}

void VADU_VIredoVud::shapeWindow() {
    painter_->shapeWindow(handle());
}

void VADU_VIredoVud::loadMenus(bool english) {
    contextMenu_.load(instance_, english ? IDR_CONTEXT_MENU_EN : IDR_CONTEXT_MENU_CN);
    trayMenu_.load(instance_, english ? IDR_TRAY_MENU_EN : IDR_TRAY_MENU_CN);
    if (HMENU systemMenu = GetSystemMenu(handle(), FALSE)) {
        const std::wstring text = wide(appProfilesTexts(english).caption) + L"...";
        ModifyMenuW(systemMenu, kAppProfilesCommand, MF_BYCOMMAND | MF_STRING, kAppProfilesCommand,
                    text.c_str());
        for (const auto& [command, item] :
             {std::pair{kExportProfileCommand, exportProfileMenuText(english)},
              std::pair{kImportProfileCommand, importProfileMenuText(english)}}) {
            ModifyMenuW(systemMenu, command, MF_BYCOMMAND | MF_STRING, command, wide(item).c_str());
        }
    }
}

void VADU_VIredoVud::completeStart() {
    notice_.create(instance_);
    com_.emplace();
    startAccessibility();
}

void VADU_VIredoVud::show(platform::WindowShow how) {
    static constexpr int kCommands[] = {SW_SHOW, SW_RESTORE, SW_MINIMIZE, SW_HIDE};
    ShowWindow(handle(), kCommands[static_cast<int>(how)]);
}

void VADU_VIredoVud::addTrayIcon(std::u16string_view tip) {
    if (!trayIcon_.add(handle(), icon_, tip))
        SetTimer(handle(), kTrayRetryTimer, kTrayRetryMilliseconds, nullptr);
}

void VADU_VIredoVud::removeTrayIcon() {
    KillTimer(handle(), kTrayRetryTimer);
    trayIcon_.remove(handle(), icon_);
}

void VADU_VIredoVud::setTrayTip(std::u16string_view tip) {
    trayIcon_.setTip(handle(), icon_, tip);
    if (trayIcon_.missing())
        SetTimer(handle(), kTrayRetryTimer, kTrayRetryMilliseconds, nullptr);
}

void VADU_VIredoVud::restoreTrayIcon() {
    if (trayIcon_.restore(handle(), icon_))
        KillTimer(handle(), kTrayRetryTimer);
    else
        SetTimer(handle(), kTrayRetryTimer, kTrayRetryMilliseconds, nullptr);
}

void VADU_VIredoVud::showTrayMenu() {
    HMENU popup = trayMenu_.popup(0);
    if (popup == nullptr)
        return;
    // The scheduler holds the state of the logon task; it is asked as the menu opens.
    const UINT startState = startWithWindows_->enabled() ? MF_CHECKED : MF_UNCHECKED;
    for (const UINT item :
         {UINT{ID_TRAY_START_WITH_WINDOWS_EN}, UINT{ID_TRAY_START_WITH_WINDOWS_CN}})
        CheckMenuItem(popup, item, MF_BYCOMMAND | startState);
    const UINT noticeCheck = program_->notice.enabled() ? MF_CHECKED : MF_UNCHECKED;
    CheckMenuItem(popup, ID_TRAY_NOTICE_EN, MF_BYCOMMAND | noticeCheck);
    CheckMenuItem(popup, ID_TRAY_NOTICE_CN, MF_BYCOMMAND | noticeCheck);
    const UINT keepCheck =
        program_->lifecycle.keepsRunningWithoutMouse() ? MF_CHECKED : MF_UNCHECKED;
    CheckMenuItem(popup, ID_TRAY_KEEP_RUNNING_EN, MF_BYCOMMAND | keepCheck);
    CheckMenuItem(popup, ID_TRAY_KEEP_RUNNING_CN, MF_BYCOMMAND | keepCheck);
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

void VADU_VIredoVud::startDrag(Point point) {
    PostMessageW(handle(), WM_NCLBUTTONDOWN, HTCAPTION, packPoint(point));
}

void VADU_VIredoVud::postMinimise(Point point) {
    PostMessageW(handle(), WM_SYSCOMMAND, SC_MINIMIZE, packPoint(point));
}

Point VADU_VIredoVud::screenOrigin() {
    RECT window{};
    GetWindowRect(handle(), &window);
    return {window.left, window.top};
}

PopupEnvironment VADU_VIredoVud::popupEnvironment(int32_t slot) {
    Program& program = *program_;
    return PopupEnvironment{instance_,
                            program.paths.skinFolder,
                            painter_->decoder(),
                            painter_->popupPictures(),
                            painter_->scale(),
                            *painter_->fonts(),
                            program.profiles,
                            program.macros,
                            program.tables,
                            program.subMenuChoices,
                            handle(),
                            slot};
}

int32_t VADU_VIredoVud::showWarning(Point origin) {
    if (painter_->fonts() == nullptr)
        return platform::kWarningCancelled;
    WarningDlg warning(popupEnvironment(0), origin);
    return warning.show(handle());
}

void VADU_VIredoVud::openFunctionMenu(Point origin, int32_t slot) {
    menuDialog_.reset();
    if (painter_->fonts() == nullptr)
        return;
    auto menu = std::make_unique<CMenuDlg>(popupEnvironment(slot));
    if (menu->open(handle(), origin))
        menuDialog_ = std::move(menu);
}

void VADU_VIredoVud::closeFunctionMenu() {
    menuDialog_.reset();
}

void VADU_VIredoVud::showStepMenu(Point at) {
    if (HMENU popup = contextMenu_.popup(0))
        TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, handle(), nullptr);
}

std::unique_ptr<platform::KeyboardCapture> VADU_VIredoVud::captureKeyboard() {
    return win32::captureKeyboard(handle(), kCapturedKeyMessage);
}

std::optional<AppProfileSettings> VADU_VIredoVud::editAppProfiles(
    const AppProfileSettings& settings, bool english, int32_t currentProfile) {
    return CAppProfilesDlg(settings, english, currentProfile).edit(instance_, handle());
}

std::unique_ptr<platform::AdvancedPageControls> VADU_VIredoVud::createAdvancedPageControls(
    const platform::AdvancedControlPlaces& places, bool english) {
    return std::make_unique<AdvancedPageControls>(instance_, handle(), places,
                                                  languageFont(english));
}

}  // namespace v270::win32
