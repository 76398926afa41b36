#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "actions/action_executor.h"
#include "actions/fakes/recording_services.h"
#include "app/main_window_lifecycle.h"
#include "app/settings_actions.h"
#include "device/device_fakes.h"
#include "device/device_link.h"
#include "device/input_reader.h"
#include "device/simulated_hid.h"
#include "executor_probes.h"
#include "handover_observer.h"
#include "mouse_simulator.h"
#include "observed_hid.h"
#include "platform/system_clock.h"
#include "settings/function_codes.h"
#include "settings/ini_files.h"
#include "settings/program_paths.h"
#include "support/fake_file_dialogs.h"
#include "support/recording_message_boxes.h"
#include "support/recording_view_port.h"
#include "support/temp_folder.h"
#include "tied_profile.h"
#include "ui/banner_blinker.h"
#include "ui/colour_page.h"
#include "ui/led_preview.h"
#include "ui/main_page.h"

namespace v270::test {

// What each slot of every stress profile does; all are host functions, so the mouse reports each
// press: two macros, a chord, the LED switch, the DPI cycle and the next profile.
inline constexpr std::array<int32_t, kButtonCount> kStressFunctions = {
    function_code::kFirstMacro, function_code::kFirstMacro + 1, function_code::kCopy,
    function_code::kLedToggle,  function_code::kDpiCycle,       function_code::kNextProfile};
inline constexpr int kMacroSlots = 2;

// The threaded core of the program wired as Program wires it, against the simulated mouse on
// loopback, except that the executor reaches the device link, the clock and the input through
// probes, the reader pauses through the observer's clock, and all HID traffic is observed.
// Profile slot k keeps k as its pointer speed and wheel lines, so that a profile written into
// another slot shows in config.ini.
class StressRig {
  public:
    StressRig() {
        for (int slot = 1; slot <= kProfileCount; ++slot) {
            profiles.edit([&](ConfigProfile& p) {
                p = builtInDefaultProfile(0);
                p.buttonFunction = kStressFunctions;
                p.dpiSpeed = static_cast<uint8_t>(slot);
                p.wheelSpeed = static_cast<uint8_t>(slot);
                tieProfile(p, slot * 7 % kTiedValues);
            });
            profiles.saveProfile(paths.configFilePath, slot);
        }
        profiles.setEnglishUi(1);
        profiles.saveLanguage(1);
        profiles.switchProfile(1);

        macros.edit([](MacroTable& table) {
            table.macroCount = kMacroSlots;
            MacroRecord& tap = table.macroSlots[0];
            tap.setName(u"tap");
            tap.steps[0] = {0x41, kStepPress, 1};
            tap.steps[1] = {0x41, kStepRelease, 1};
            tap.stepCount = 2;
            MacroRecord& clicks = table.macroSlots[1];
            clicks.setName(u"clicks");
            clicks.repeatEnabled = 1;
            clicks.repeatCount = 10;
            clicks.steps[0] = {kMouseLeftKey, kStepPress, 1};
            clicks.steps[1] = {kMouseLeftKey, kStepRelease, 1};
            clicks.steps[2] = {0x42, kStepPress, 1};
            clicks.steps[3] = {0x42, kStepRelease, 1};
            clicks.stepCount = 4;
        });
        macros.setFilePath(paths.macroFilePath(1));
        macros.saveMacros(macros.filePath());
    }

    ~StressRig() {
        executor.stop();
        reader.stop();
    }

    // The start as the main window's initialisation does it: threads, search, first apply.
    bool start() {
        reader.ensureRunning();
        executor.ensureRunning();
        mainPage.enter();
        if (link.FindMouse() == 0)
            return false;
        link.ApplySettings();
        return true;
    }

    std::string mouse(const std::string& command) { return simulator_->execute(command); }

  private:
    class NoNotices final : public platform::DeviceNoticeSink {
      public:
        void deliver(const platform::DeviceNotice&) override {}
    };
    class NoClosePath final : public ClosePath {
      public:
        void closePath() override {}
    };
    static std::unique_ptr<mousesim::MouseSimulator> startedSimulator() {
        mousesim::SimulatorOptions options;
        options.firmware.featureLogEntries = size_t{1} << 20;  // every report of a long run
        auto simulator = std::make_unique<mousesim::MouseSimulator>(options);
        simulator->start();
        return simulator;
    }

  public:
    TempFolder folder;
    const ProgramPaths paths = ProgramPaths::inFolder(folder.path());
    IniFiles files;
    RecordingMessageBoxes messages;
    FakeFileDialogs dialogs;
    RecordingViewPort view;
    FakeSystemSettings systemSettings;
    RecordingSystemActions systemActions;
    ProfileStore profiles{files, paths.configFilePath};
    MacroStore macros{files, messages};
    HandOverFlags flags;
    BannerState banner;
    std::atomic<Page> currentPage{PAGE_MAIN};
    SkinTables tables;
    SkinLoader skin{files, messages, paths.skinFolder, profiles, tables};
    HandOverObserver observer{flags, banner};
    const std::unique_ptr<platform::Clock> clock = platform::createSystemClock();

  private:
    NoNotices notices_;
    NoClosePath closePath_;
    const std::unique_ptr<mousesim::MouseSimulator> simulator_ = startedSimulator();
    SimulatedHidSystem hid_{SimulatorEndpoint{"127.0.0.1", simulator_->hidPort()}, notices_};

  public:
    ObservedHid hid{hid_, observer};
    MainPage mainPage{profiles, tables, view,
                      std::make_unique<BannerBlinker>(banner, currentPage, view, *clock)};
    DeviceLink link{DeviceLinkServices{hid, profiles, banner, mainPage, view, systemSettings}};
    ColourPage colourPage{profiles, link,
                          std::make_unique<LedPreview>(currentPage, profiles, link, view, *clock)};
    AdvancedPage advancedPage{
        AdvancedPageServices{profiles, macros, tables, paths, view, dialogs, messages}};
    SettingsActions settings{SettingsActionServices{paths, profiles, macros, skin, link, closePath_,
                                                    advancedPage, dialogs, view, messages}};

    ProbedDeviceCommands executorDevice{link, observer};
    ProbedClock executorClock{observer};
    ProbedInput executorInput{observer};
    ReaderClock readerClock{observer};
    InputReader reader{
        InputReaderServices{link.interfaces(), flags, banner, profiles, view, readerClock}};
    ActionExecutor executor{ExecutorServices{flags, profiles, macros, executorDevice, view,
                                             executorInput, systemActions, executorClock}};
};

}  // namespace v270::test
