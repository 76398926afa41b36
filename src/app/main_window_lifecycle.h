#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "actions/action_executor.h"
#include "app/app_profile_switcher.h"
#include "app/command_line.h"
#include "device/device_link.h"
#include "device/handover_flags.h"
#include "device/input_reader.h"
#include "platform/clock.h"
#include "platform/hid.h"
#include "platform/message_boxes.h"
#include "platform/synthetic_input.h"
#include "platform/system_settings.h"
#include "platform/view_port.h"
#include "settings/ini_files.h"
#include "settings/macro_store.h"
#include "settings/profile_store.h"
#include "settings/program_paths.h"
#include "ui/advanced_page.h"
#include "ui/app_profiles_editor.h"
#include "ui/main_page.h"
#include "ui/profile_notice.h"
#include "ui/skin_loader.h"
#include "ui/tray.h"

namespace v270 {

struct LifecycleServices {
    const ProgramPaths& paths;
    ProfileStore& profiles;
    MacroStore& macros;
    SkinLoader& skin;
    DeviceLink& device;
    HandOverFlags& flags;
    InputReader& reader;
    ActionExecutor& executor;
    MainPage& mainPage;          // the page shown first, with the banner's blinking
    AdvancedPage& advancedPage;  // its recording ends with the program
    platform::SyntheticInput& input;
    platform::SystemSettings& systemSettings;
    platform::MessageBoxes& messages;
    platform::Clock& clock;
    platform::ViewPort& view;
    ProfileNotice& notice;  // its setting is read at the start
    IniFiles& files;        // "Keep running without the mouse", in config.ini
};

// The end of the program through its close path.
class ClosePath {
  public:
    virtual ~ClosePath() = default;
    virtual void closePath() = 0;
};

// How the main window comes up, hides to the tray and back, reacts to system, power and device
// events, and ends. The window turns its messages into these events; every one runs on the
// window's thread.
//
// While the program waits for the mouse the tray icon is there with its tip saying so, whether
// the window shows or not: a start that the user asked for keeps its window.
class MainWindowLifecycle final : public ClosePath, public TrayHider {
  public:
    explicit MainWindowLifecycle(const LifecycleServices& services) : s_(services) {}

    // The start-up sequence, in its order. Returns false when it ended on the close path: a
    // missing skin layout file or no mouse. A profile on the command line is loaded in place of
    // the stored current profile and is what the first apply sends; with --tray the window ends
    // the start hidden to the tray. A program that waits for the mouse (--tray, or "Keep
    // running without the mouse") and finds none says so in the tray icon's tip instead; its
    // window, shown unless started with --tray, stays.
    bool initialise(const CommandLineOptions& options = {});

    // Releases Alt, removes the tray icon, sends the exit report, resets the Windows pointer
    // speed to 10, saves macro edits not yet saved and destroys the window. Runs once; later
    // calls do nothing.
    void closePath() override;
    // The window is gone or going: the close path ran, or the mouse was removed.
    bool closed() const { return closed_; }

    // The close and revert entries of the main page.
    void hideToTray() override;
    // "Show Window" from the tray menu.
    void onShowWindowCommand();
    // Double-click on the tray icon.
    void onTrayDoubleClick();
    // Right button released over the tray icon.
    void onTrayMenuRequested() { s_.view.showTrayMenu(); }
    void onAboutRequested() { s_.view.showAboutBox(); }
    // Minimising from the system menu keeps the window on the taskbar, with no tray icon.
    void onMinimiseRequested() { s_.view.show(platform::WindowShow::Minimize); }
    // Any power event re-sends the whole profile.
    void onPowerEvent() { s_.device.ApplySettings(); }
    // The removal of the mouse (or the system's request for its handles) ends the program,
    // without the exit report and the pointer speed reset of the close path (macro edits are
    // saved all the same), unless the program waits for the mouse: then a macro playing stops,
    // Alt is released, and the window waits hidden in the tray. The mouse's arrival while it is
    // not found searches again, and the mouse found gets the profile as after a start; the tray
    // icon then goes if the window shows.
    void onDeviceNotice(const platform::DeviceNotice& notice);

    // "Keep running without the mouse" in the tray menu, saved in config.ini; false when the
    // file could not be written.
    bool keepsRunningWithoutMouse() const { return keepRunning_; }
    bool setKeepRunningWithoutMouse(bool on);
    // The mouse is away, and the program waits for it.
    bool waitingForMouse() const { return waiting_; }

    bool english() const { return s_.profiles.englishUi() != 0; }

    // "Application Profiles..." from the tray or the system menu: the rules dialog, and what the
    // user confirmed in force and saved.
    void onAppProfilesRequested(AppProfilesDialog& dialog, AppProfileSwitcher& switcher);

    // A request from a second start of the program (another process: any bytes at all). A
    // valid profile request switches profiles by the one road of every switch and is announced;
    // anything else is ignored. Returns whether the request was taken.
    bool onInstanceRequest(uint64_t tag, std::span<const uint8_t> data);
    // Told of each profile switch the command line makes, after the switch: the on-screen
    // notice's hook.
    void setProfileAnnouncer(std::function<void(int32_t profile)> announce) {
        announceProfile_ = std::move(announce);
    }

  private:
    void saveUnsavedMacros();
    void releaseAlt();
    bool waitsForMouse() const { return startedInTray_ || keepRunning_; }
    // Waits for the mouse: the tray icon tells, and the window hides with `hide`.
    void waitForMouse(bool hide);
    void onMouseRemoved();
    void onMouseArrived();

    LifecycleServices s_;
    bool closed_ = false;
    bool startedInTray_ = false;
    bool keepRunning_ = false;
    bool waiting_ = false;
    bool hidden_ = false;  // the window hides in the tray
    std::function<void(int32_t)> announceProfile_;
};

}  // namespace v270
