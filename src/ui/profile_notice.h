#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "actions/button_changes.h"
#include "device/mouse_state.h"
#include "platform/notice_window.h"
#include "settings/ini_files.h"
#include "settings/profile_store.h"

namespace v270 {

// The notice's line for a profile and the DPI in effect: "Profile 3 · 1600 DPI".
std::u16string profileNoticeText(int32_t profile, int32_t dpi, bool english);
// The notice's line for a profile and the LED mode in effect: "Profile 3 · LED off".
std::u16string ledNoticeText(int32_t profile, uint8_t ledMode, bool english);

struct ProfileNoticeServices {
    ProfileStore& profiles;
    MouseStateSource& mouse;  // the DPI and the LED mode in effect
    IniFiles& files;          // the setting, in config.ini
    platform::NoticeWindow& window;
};

// The on-screen notice of what a mouse button, a per-application rule or the command line
// changed: the current profile with the DPI in effect, or with the LED mode in effect after the
// LED on/off function. The executor thread and the window's thread both call it; it keeps the
// setting, which is atomic, and a held problem line under its lock, and reads the rest from
// stores that lock.
class ProfileNotice final : public ButtonChangeListener {
  public:
    explicit ProfileNotice(const ProfileNoticeServices& services) : s_(services) {}

    // Reads the setting from config.ini, where "Notice" "Enabled" keeps it.
    void readSetting();
    bool enabled() const { return enabled_.load(std::memory_order_relaxed); }
    // Turns the notice on or off and saves the choice.
    void setEnabled(bool enabled);

    // Shows the current profile and the DPI in effect, when the notice is on: for a switch
    // that a rule or the command line made.
    void announceProfile();
    // Shows the current profile and the LED mode in effect, when the notice is on.
    void announceLed();
    // "Host functions paused", when the notice is on: a rule paused them.
    void announceHostFunctionsPaused();

    // A settings file that a mouse button's press could not read or save: the line is shown
    // in place of the change that the press announces next, whatever the setting.
    void holdProblem(std::u16string line);

    void dpiLevelChanged() override { announceProfile(); }
    void ledToggled() override { announceLed(); }
    void profileSwitched() override { announceProfile(); }

  private:
    // Shows the held problem line, if any; returns whether it did.
    bool showHeldProblem();

    ProfileNoticeServices s_;
    std::atomic<bool> enabled_{true};
    std::mutex heldMutex_;
    std::u16string heldProblem_;
};

}  // namespace v270
