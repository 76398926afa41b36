#include "app/win32/program_state.h"

#include "platform/system_clock.h"

namespace v270::win32 {

ProgramState::ProgramState(const ProgramPaths& programPaths, ShellWindow& window,
                           PointerWindow& pointerWindow, SettingsWindow& settingsWindow,
                           std::unique_ptr<platform::HidSystem> hidSystem)
    : paths(programPaths),
      clock(platform::createSystemClock()),
      input(platform::createSyntheticInput()),
      systemActions(platform::createSystemActions()),
      hid(std::move(hidSystem)),
      device(*hid, profiles, banner, window, systemSettings),
      reader(device.interfaces(), flags, banner, profiles, window, *clock),
      executor(ExecutorServices{flags, profiles, macros, device, window, *input, *systemActions,
                                *clock}),
      skin(
          files, messages, [this] { lifecycle.closePath(); }, paths.skinFolder, profiles, tables),
      lifecycle(LifecycleServices{paths, profiles, macros, skin, device, flags, banner, *input,
                                  systemSettings, messages, *clock, window}),
      settings(SettingsActionServices{paths, profiles, macros, skin, device, lifecycle, dialogs,
                                      currentPage, settingsWindow}),
      pointer(PointerServices{profiles, tables, currentPage, banner, previewThreadRunning,
                              pointerWindow, settings}) {}

}  // namespace v270::win32
