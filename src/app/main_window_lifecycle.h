#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>

#include "app/shell_window.h"
#include "device/device_link.h"
#include "device/handover_flags.h"
#include "platform/clock.h"
#include "platform/hid.h"
#include "platform/message_boxes.h"
#include "platform/synthetic_input.h"
#include "platform/system_settings.h"
#include "settings/macro_store.h"
#include "settings/profile_store.h"
#include "settings/program_paths.h"
#include "ui/skin_loader.h"

namespace v270 {

// Tray icon and messages of the main window.
inline constexpr uint32_t kTrayIconId = 153;
inline constexpr uint32_t kTrayCallbackMessage = 0x0400 + 1;  // WM_USER + 1
inline constexpr uint32_t kAboutCommand = 16;                 // system menu item "About"

struct LifecycleServices {
    const ProgramPaths& paths;
    ProfileStore& profiles;
    MacroStore& macros;
    SkinLoader& skin;
    DeviceLink& device;
    HandOverFlags& flags;
    BannerState& banner;
    platform::SyntheticInput& input;
    platform::SystemSettings& systemSettings;
    platform::MessageBoxes& messages;
    platform::Clock& clock;
    ShellWindow& window;
};

// How the main window comes up, hides to the tray and back, reacts to system, power and device
// messages, and ends. Every handler runs on the user-interface thread.
class MainWindowLifecycle {
  public:
    explicit MainWindowLifecycle(const LifecycleServices& services) : s_(services) {}

    // The start-up sequence, in its order. Returns false when it ended on the close path: a
    // missing skin layout file or no mouse.
    bool initialise();

    // Releases Alt, removes the tray icon, sends the exit report, resets the Windows pointer
    // speed to 10 and destroys the window. Runs once; later calls do nothing.
    void closePath();
    bool closed() const { return closed_; }

    void hideToTray();
    // "Show Window" from the tray menu.
    void showFromTray();
    // The tray icon's callback: returns the value for the window procedure.
    intptr_t onTrayCallback(uint32_t iconId, uint32_t mouseMessage);
    // Returns false when the system command is left to the default processing.
    bool onSystemCommand(uint32_t command);
    // Any power event re-sends the whole profile.
    void onPowerBroadcast() { s_.device.ApplySettings(); }
    void onDeviceChange(const platform::DeviceBroadcast& broadcast);

    const std::filesystem::path& macroFilePath() const { return macroFilePath_; }
    void setMacroFilePath(std::filesystem::path path) { macroFilePath_ = std::move(path); }

    bool english() const { return s_.profiles.englishUi() != 0; }

    // The main window's message pre-filter: Escape and Enter key-downs would end the dialog
    // through its default buttons, and F10 would open the system menu's keyboard mode. Only key
    // messages are tested for F10, so that a character or command whose code happens to be
    // 0x79 (a typed "y") still arrives.
    static bool swallowedByPreFilter(uint32_t message, uintptr_t wParam);

  private:
    LifecycleServices s_;
    std::filesystem::path macroFilePath_;
    bool closed_ = false;
};

}  // namespace v270
