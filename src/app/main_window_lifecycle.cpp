#include "app/main_window_lifecycle.h"

#include <string>
#include <utility>

#include "actions/profile_switch.h"
#include "app/instance_request.h"
#include "settings/keep_running_setting.h"
#include "ui/tray.h"
#include "ui/window_titles.h"

namespace v270 {

namespace {

constexpr uint8_t kAltKey = 0x12;  // VK_MENU
constexpr int kAltReleases = 6;
constexpr int32_t kExitPointerSpeed = 10;
constexpr std::chrono::milliseconds kPauseBeforeApply{5};

std::u16string notFoundMessage(bool english) {
    std::u16string text = english ? u"Please plug-in【" : u"请插入【";
    text += kModelName;
    text += english ? u"】USB Mouse" : u"】USB鼠标";
    return text;
}

}  // namespace

bool MainWindowLifecycle::initialise(const CommandLineOptions& options) {
    s_.flags.pressPending.store(0);
    s_.flags.stopRequested.store(0);

    s_.profiles.readStartupSettings();
    keepRunning_ = loadKeepRunning(s_.files, s_.paths.configFilePath);
    startedInTray_ = options.tray;
    if (options.profile)
        s_.profiles.switchProfile(*options.profile);
    s_.notice.readSetting();
    s_.view.setTitle(windowTitle(english()));

    // Every layout is read, so that each missing file is named, before the close path.
    bool skinFound = s_.skin.LoadMainSkin();
    skinFound = s_.skin.LoadColourSkin() && skinFound;
    skinFound = s_.skin.LoadAdvancedSkin() && skinFound;
    skinFound = s_.skin.LoadWarningSkin() && skinFound;
    if (!skinFound) {
        closePath();
        return false;
    }

    s_.view.shapeWindow();

    s_.macros.setFilePath(s_.paths.macroFilePath(s_.profiles.englishUi()));
    s_.macros.loadMacros(s_.macros.filePath());
    s_.advancedPage.selectLastStepOfCurrentMacro();

    // The window shows its first frame before the search, which talks to the system's devices
    // and the mouse; what the search and the apply change repaints it. A start into the tray
    // shows nothing.
    if (!options.tray) {
        s_.view.show(platform::WindowShow::Show);
        s_.view.updateNow();
    }
    // What the first frame does not need comes after it: the worker threads, the start key's
    // blinking, the menus and the window's helpers.
    s_.reader.ensureRunning();
    s_.executor.ensureRunning();
    s_.mainPage.enter();
    s_.view.loadMenus(english());
    s_.view.completeStart();

    const uint8_t found = s_.device.FindMouse();
    if (waitsForMouse() && !s_.device.mousePaired()) {
        // Started at logon before the mouse, or with it away: no message box for nobody to
        // read; the tray icon tells, and the mouse's arrival brings the profile. A window the
        // user opened stays, so that it does not flash and vanish.
        waitForMouse(options.tray);
        return true;
    }
    if (found == 0) {
        s_.messages.show(notFoundMessage(english()));
        closePath();
        return false;
    }
    s_.clock.sleepFor(kPauseBeforeApply);
    s_.device.ApplySettings();
    if (options.tray)
        hideToTray();
    return true;
}

void MainWindowLifecycle::closePath() {
    if (closed_)
        return;
    closed_ = true;
    releaseAlt();
    s_.view.removeTrayIcon();
    s_.device.sendExitReport();
    if (s_.systemSettings.pointerSpeed())
        s_.systemSettings.setPointerSpeed(kExitPointerSpeed);
    saveUnsavedMacros();
    s_.view.destroy();
}

void MainWindowLifecycle::saveUnsavedMacros() {
    // A recording still running ends first, so that its steps are what is saved.
    s_.advancedPage.stopRecording();
    if (s_.macros.unsavedEdits())
        s_.macros.saveMacros(s_.macros.filePath());
}

void MainWindowLifecycle::hideToTray() {
    hidden_ = true;
    hideToTrayWithTip(s_.view, waiting_ ? mouseAwayTip(english()) : windowTitle(english()));
}

void MainWindowLifecycle::onShowWindowCommand() {
    hidden_ = false;
    // While the mouse is away the icon stays, and tells.
    if (waiting_) {
        s_.view.show(platform::WindowShow::Show);
        s_.view.show(platform::WindowShow::Restore);
        return;
    }
    showFromTray(s_.view);
}

void MainWindowLifecycle::onTrayDoubleClick() {
    hidden_ = false;
    if (!waiting_)
        s_.view.removeTrayIcon();
    s_.view.show(platform::WindowShow::Show);
    s_.view.show(platform::WindowShow::Restore);
}

bool MainWindowLifecycle::onInstanceRequest(uint64_t tag, std::span<const uint8_t> data) {
    const std::optional<int32_t> profile = decodeProfileRequest(tag, data);
    if (!profile || closed_)
        return false;
    switchToProfile(s_.profiles, s_.device, s_.view, *profile, SwitchOrigin::Automatic);
    if (announceProfile_)
        announceProfile_(*profile);
    return true;
}

void MainWindowLifecycle::releaseAlt() {
    for (int i = 0; i < kAltReleases; ++i)
        s_.input.keyEvent(kAltKey, 0, platform::kKeyEventKeyUp);
}

void MainWindowLifecycle::onDeviceNotice(const platform::DeviceNotice& notice) {
    if (closed_)
        return;
    switch (s_.device.onDeviceNotice(notice)) {
        case DeviceChangeOutcome::MouseRemoved:
            onMouseRemoved();
            break;
        case DeviceChangeOutcome::MouseArrived:
            onMouseArrived();
            break;
        case DeviceChangeOutcome::Nothing:
            break;
    }
}

void MainWindowLifecycle::onMouseRemoved() {
    if (!waitsForMouse()) {
        closed_ = true;
        s_.view.removeTrayIcon();
        saveUnsavedMacros();
        s_.view.destroy();
        return;
    }
    // Each interface's removal comes on its own; the first one did the work.
    if (waiting_)
        return;
    // A macro held by its button would never see the release: it stops, letting go of what it
    // holds down, and so does a macro that plays on.
    s_.flags.stopRequested.store(1, std::memory_order_release);
    s_.flags.wakeup.notify();
    releaseAlt();
    waitForMouse(true);
}

void MainWindowLifecycle::waitForMouse(bool hide) {
    waiting_ = true;
    s_.device.listenForArrival();
    s_.view.invalidate();  // the banner says so
    if (hide)
        hideToTray();
    else
        s_.view.addTrayIcon(mouseAwayTip(english()));
}

void MainWindowLifecycle::onMouseArrived() {
    // As after a start: the mouse gets the profile, and the banner its start prompt.
    s_.clock.sleepFor(kPauseBeforeApply);
    s_.device.ApplySettings();
    if (!std::exchange(waiting_, false))
        return;
    // The icon is there while the window hides, and only then.
    if (hidden_)
        s_.view.setTrayTip(windowTitle(english()));
    else
        s_.view.removeTrayIcon();
}

bool MainWindowLifecycle::setKeepRunningWithoutMouse(bool on) {
    keepRunning_ = on;
    return saveKeepRunning(s_.files, s_.paths.configFilePath, on);
}

void MainWindowLifecycle::onAppProfilesRequested(AppProfilesDialog& dialog,
                                                 AppProfileSwitcher& switcher) {
    // A config.ini that cannot be written is told as every settings file is.
    switcher.readAgainWhenUnread();
    if (const std::optional<AppProfileSettings> edited =
            dialog.editAppProfiles(switcher.settings(), english(), s_.profiles.currentConfig()))
        switcher.setSettings(*edited);
}

}  // namespace v270
