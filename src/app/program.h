#pragma once

#include <atomic>

#include "actions/action_executor.h"
#include "app/app_profile_switcher.h"
#include "app/file_problem_reporter.h"
#include "app/main_window_lifecycle.h"
#include "app/profile_file_actions.h"
#include "app/profile_transfer.h"
#include "app/script_request_handler.h"
#include "app/settings_actions.h"
#include "device/device_link.h"
#include "device/handover_flags.h"
#include "device/input_reader.h"
#include "platform/clock.h"
#include "platform/file_dialogs.h"
#include "platform/file_system.h"
#include "platform/hid.h"
#include "platform/message_boxes.h"
#include "platform/notice_window.h"
#include "platform/synthetic_input.h"
#include "platform/system_actions.h"
#include "platform/system_settings.h"
#include "platform/view_port.h"
#include "settings/ini_files.h"
#include "settings/macro_store.h"
#include "settings/profile_store.h"
#include "settings/program_paths.h"
#include "ui/advanced_page.h"
#include "ui/colour_page.h"
#include "ui/frame_state.h"
#include "ui/function_menu.h"
#include "ui/keyboard_controller.h"
#include "ui/main_page.h"
#include "ui/main_window_pointer.h"
#include "ui/page.h"
#include "ui/profile_notice.h"
#include "ui/skin_loader.h"
#include "ui/skin_tables.h"

namespace v270 {

// What the program reaches the system through; all of it outlives the program.
struct ProgramPlatform {
    platform::ViewPort& view;
    platform::MessageBoxes& messages;
    platform::FileDialogs& dialogs;
    platform::SystemSettings& systemSettings;
    platform::SyntheticInput& input;
    platform::SystemActions& systemActions;
    platform::Clock& clock;
    platform::HidSystem& hid;
    platform::ForegroundWatcher& foreground;
    platform::OneShotTimer& settleTimer;
    platform::NoticeWindow& notice;
    platform::FileSystem& fileSystem;  // the settings files
};

// Everything the program keeps for its whole run, in one instance, wired where the window is
// made. Each worker thread belongs to a member declared after everything its job uses, so that
// on every way the program ends the threads are stopped and joined before that state goes: the
// executor and the reader first, the banner's blinking with the main page, the LED preview with
// the colour page.
struct Program {
    Program(const ProgramPaths& programPaths, const ProgramPlatform& platformServices);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // What a frame of the main window shows now.
    FrameState frame() const;

    const ProgramPaths paths;
    const ProgramPlatform platform;
    IniFiles files{platform.fileSystem};
    ProfileStore profiles{files, paths.configFilePath};
    MacroStore macros{files, platform.messages};
    HandOverFlags flags;
    BannerState banner;
    std::atomic<Page> currentPage{PAGE_MAIN};
    // The code of the last choice in any sub-menu of the function menu.
    SubMenuChoices subMenuChoices;
    SkinTables tables;
    SkinLoader skin{files, platform.messages, paths.skinFolder, profiles, tables};

    MainPage mainPage;
    DeviceLink device;
    AdvancedPage advancedPage;
    ColourPage colourPage;
    InputReader reader;
    ProfileNotice notice;
    // Before the executor, whose saves it hears of.
    FileProblemReporter fileProblems{profiles, platform.messages, notice};
    ActionExecutor executor;
    MainWindowLifecycle lifecycle;
    SettingsActions settings;
    // Profile files in and out, for the dialogs and the command front for scripts.
    ProfileTransfer transfer;
    ScriptRequestHandler scripts;
    ProfileFileActions profileFiles;
    MainWindowPointer pointer;
    KeyboardController keyboard;
    // Declared last, so that it stops watching before anything a switch uses goes.
    AppProfileSwitcher appProfiles;
};

}  // namespace v270
