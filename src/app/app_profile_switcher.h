#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "device/device_commands.h"
#include "platform/foreground_watcher.h"
#include "platform/one_shot_timer.h"
#include "platform/view_port.h"
#include "settings/app_profiles.h"
#include "settings/ini_files.h"
#include "settings/profile_store.h"

namespace v270 {

struct AppProfileSwitcherServices {
    IniFiles& files;
    const std::filesystem::path& configFile;
    ProfileStore& profiles;
    DeviceCommands& device;
    platform::ViewPort& view;
    platform::ForegroundWatcher& watcher;
    platform::OneShotTimer& settleTimer;
    // Whether a switch may be made now: the mouse is there and the program is not closing.
    std::function<bool()> maySwitch;
    // Pauses (true) or resumes the host functions, for a rule that pauses them.
    std::function<void(bool paused)> pauseHostFunctions;
};

// The per-application profiles at work: when another application comes to the front, the
// profile of its rule (or the fallback) becomes the current one, once the foreground has
// settled. Everything runs on the window's thread.
class AppProfileSwitcher {
  public:
    // Alt+Tab through several windows brings each to the front for a moment; only a window that
    // stays this long gets its profile. Shorter than a person's pause on a window they chose,
    // longer than the steps of a quick Alt+Tab run.
    static constexpr std::chrono::milliseconds kSettleTime{400};

    using Announcer = std::function<void(int32_t profile)>;

    explicit AppProfileSwitcher(const AppProfileSwitcherServices& services) : s_(services) {}
    AppProfileSwitcher(const AppProfileSwitcher&) = delete;
    AppProfileSwitcher& operator=(const AppProfileSwitcher&) = delete;
    ~AppProfileSwitcher() { stop(); }

    // After the start-up sequence: reads the section and watches when the feature is on.
    void start();
    // The program ends: no more watching and no pending switch, whatever setSettings() says.
    void stop();

    // Before the rules are edited: a config.ini that could not be read at the start is read
    // again, so that the edits start from its own rules.
    void readAgainWhenUnread();

    const AppProfileSettings& settings() const { return settings_; }
    // The rules dialog's result: what storable() keeps is in force at once (the window in front
    // judged by it), saved into the section, and watched for while `enabled`. False when the
    // file could not be written, or not be read at the start (told).
    bool setSettings(const AppProfileSettings& settings);

    // Told of every switch a rule made, after it was made.
    void setAnnouncer(Announcer announcer) { announcer_ = std::move(announcer); }
    // Told when a rule pauses the host functions.
    void setPauseAnnouncer(std::function<void()> announcer) {
        pauseAnnouncer_ = std::move(announcer);
    }
    bool hostFunctionsPaused() const { return paused_; }

  private:
    // The section as stored; a config.ini that cannot be read is told and changes nothing.
    void readRules();
    void watchAsSettingsSay();
    void onForegroundChanged(const platform::ForegroundChange& change);
    void onSettled(int32_t profile);
    // The host functions pause while an application whose rule says so is in front, at once:
    // no settling, so that not one injected key reaches it.
    void setPaused(bool paused);

    AppProfileSwitcherServices s_;
    AppProfileSettings settings_;
    // Why config.ini could not be read at the start, or since: the rules in force are then not
    // its own.
    std::optional<FileProblem> unread_;
    Announcer announcer_;
    std::function<void()> pauseAnnouncer_;
    bool running_ = false;
    bool paused_ = false;
};

}  // namespace v270
