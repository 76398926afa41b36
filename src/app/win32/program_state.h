#pragma once

#include <atomic>
#include <memory>

#include "actions/action_executor.h"
#include "app/main_window_lifecycle.h"
#include "app/settings_actions.h"
#include "app/shell_window.h"
#include "app/win32/message_boxes_win32.h"
#include "device/device_link.h"
#include "device/handover_flags.h"
#include "device/input_reader.h"
#include "platform/clock.h"
#include "platform/hid.h"
#include "platform/synthetic_input.h"
#include "platform/system_actions.h"
#include "platform/win32/file_dialogs_win32.h"
#include "platform/win32/system_settings_win32.h"
#include "settings/ini_files.h"
#include "settings/macro_store.h"
#include "settings/profile_store.h"
#include "settings/program_paths.h"
#include "ui/function_menu.h"
#include "ui/main_window_pointer.h"
#include "ui/page.h"
#include "ui/pointer_window.h"
#include "ui/skin_loader.h"
#include "ui/skin_tables.h"

namespace v270::win32 {

// Everything the program keeps for its whole run, in one instance, wired here where it starts.
// The main window owns it; the worker threads use it until the process ends.
struct ProgramState {
    // The three windows are the main window in each of its roles.
    ProgramState(const ProgramPaths& programPaths, ShellWindow& window,
                 PointerWindow& pointerWindow, SettingsWindow& settingsWindow,
                 std::unique_ptr<platform::HidSystem> hidSystem);

    const ProgramPaths paths;
    IniFiles files;
    ProfileStore profiles{files, paths.configFilePath};
    Win32MessageBoxes messages{L"V270"};
    Win32FileDialogs dialogs;
    MacroStore macros{files, messages};
    HandOverFlags flags;
    BannerState banner;
    std::atomic<Page> currentPage{PAGE_MAIN};
    std::atomic<uint8_t> previewThreadRunning{0};
    // The code of the last choice in any sub-menu of the function menu.
    SubMenuChoices subMenuChoices;

    const std::unique_ptr<platform::Clock> clock;
    const std::unique_ptr<platform::SyntheticInput> input;
    const std::unique_ptr<platform::SystemActions> systemActions;
    Win32SystemSettings systemSettings;
    const std::unique_ptr<platform::HidSystem> hid;

    DeviceLink device;
    InputReader reader;
    ActionExecutor executor;
    SkinTables tables;
    SkinLoader skin;
    MainWindowLifecycle lifecycle;
    SettingsActions settings;
    MainWindowPointer pointer;
};

}  // namespace v270::win32
