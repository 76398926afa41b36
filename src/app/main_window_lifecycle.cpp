#include "app/main_window_lifecycle.h"

#include <string>

#include "app/window_titles.h"

namespace v270 {

namespace {

constexpr uint8_t kAltKey = 0x12;  // VK_MENU
constexpr int kAltReleases = 6;
constexpr int32_t kExitPointerSpeed = 10;
constexpr std::chrono::milliseconds kPauseBeforeApply{5};

constexpr uint32_t kKeyDown = 0x0100;     // WM_KEYDOWN
constexpr uint32_t kKeyUp = 0x0101;       // WM_KEYUP
constexpr uint32_t kSysKeyDown = 0x0104;  // WM_SYSKEYDOWN
constexpr uint32_t kSysKeyUp = 0x0105;    // WM_SYSKEYUP
constexpr uintptr_t kEscapeKey = 0x1B;    // VK_ESCAPE
constexpr uintptr_t kReturnKey = 0x0D;    // VK_RETURN
constexpr uintptr_t kF10Key = 0x79;       // VK_F10

constexpr uint32_t kLeftButtonDoubleClick = 0x0203;  // WM_LBUTTONDBLCLK
constexpr uint32_t kRightButtonUp = 0x0205;          // WM_RBUTTONUP
constexpr uint32_t kMinimizeCommand = 0xF020;        // SC_MINIMIZE

std::u16string notFoundMessage(bool english) {
    std::u16string text = english ? u"Please plug-in【" : u"请插入【";
    text += kModelName;
    text += english ? u"】USB Mouse" : u"】USB鼠标";
    return text;
}

}  // namespace

bool MainWindowLifecycle::initialise() {
    s_.flags.pressPending.store(0);
    s_.flags.stopRequested.store(0);
    s_.window.startWorkerThreads();
    s_.window.addAboutItemToSystemMenu();
    s_.window.setBigIcon();

    s_.profiles.readStartupSettings();
    s_.window.setTitle(windowTitle(english()));

    s_.skin.LoadMainSkin();
    s_.skin.LoadColourSkin();
    s_.skin.LoadAdvancedSkin();
    if (closed_)
        return false;
    s_.window.createAdvancedControls();
    s_.skin.LoadWarningSkin();
    if (closed_)
        return false;

    s_.window.createFonts();
    s_.window.shapeWindow();

    macroFilePath_ = s_.paths.macroFilePath(s_.profiles.englishUi());
    s_.macros.loadMacros(macroFilePath_);
    s_.window.resetMacroEditing();
    s_.window.loadMenus(english());

    if (s_.device.FindMouse() == 0) {
        s_.messages.show(notFoundMessage(english()));
        closePath();
        return false;
    }
    s_.clock.sleepFor(kPauseBeforeApply);
    s_.device.ApplySettings();
    return true;
}

void MainWindowLifecycle::closePath() {
    if (closed_)
        return;
    closed_ = true;
    for (int i = 0; i < kAltReleases; ++i) {
        s_.input.keyEvent(kAltKey, 0, platform::kKeyEventKeyUp);
    }
    s_.window.removeTrayIcon();
    s_.device.sendExitReport();
    if (s_.systemSettings.pointerSpeed())
        s_.systemSettings.setPointerSpeed(kExitPointerSpeed);
    s_.window.destroy();
}

void MainWindowLifecycle::hideToTray() {
    s_.window.addTrayIcon(windowTitle(english()));
    s_.window.show(WindowShow::Minimize);
    s_.window.show(WindowShow::Hide);
}

void MainWindowLifecycle::showFromTray() {
    s_.window.show(WindowShow::Show);
    s_.window.show(WindowShow::Restore);
    s_.window.removeTrayIcon();
}

intptr_t MainWindowLifecycle::onTrayCallback(uint32_t iconId, uint32_t mouseMessage) {
    if (iconId != kTrayIconId)
        return 1;
    if (mouseMessage == kLeftButtonDoubleClick) {
        s_.window.removeTrayIcon();
        s_.window.show(WindowShow::Show);
        s_.window.show(WindowShow::Restore);
    } else if (mouseMessage == kRightButtonUp) {
        s_.window.showTrayMenu();
    }
    return 0;
}

bool MainWindowLifecycle::onSystemCommand(uint32_t command) {
    const uint32_t kind = command & 0xFFF0u;
    if (kind == kAboutCommand) {
        s_.window.showAboutBox();
        return true;
    }
    if (kind == kMinimizeCommand) {
        s_.window.show(WindowShow::Minimize);
        return true;
    }
    return false;
}

void MainWindowLifecycle::onDeviceChange(const platform::DeviceBroadcast& broadcast) {
    if (s_.device.onDeviceChange(broadcast) == DeviceChangeOutcome::MouseRemoved) {
        closed_ = true;  // no exit report and no pointer speed reset on this path
        s_.window.removeTrayIcon();
        s_.window.destroy();
    }
}

bool MainWindowLifecycle::swallowedByPreFilter(uint32_t message, uintptr_t wParam) {
    if (message == kKeyDown && (wParam == kEscapeKey || wParam == kReturnKey))
        return true;
    const bool keyMessage =
        message == kKeyDown || message == kKeyUp || message == kSysKeyDown || message == kSysKeyUp;
    return keyMessage && wParam == kF10Key;
}

}  // namespace v270
