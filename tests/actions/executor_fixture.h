#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

#include "actions/action_executor.h"
#include "fakes/fake_clock.h"
#include "fakes/recording_input.h"
#include "fakes/recording_services.h"
#include "settings/function_codes.h"
#include "support/recording_message_boxes.h"
#include "support/recording_view_port.h"
#include "support/temp_folder.h"

namespace v270::test {

// An executor over fakes, with the real settings stores on a config.ini of its own.
class ExecutorFixture : public testing::Test {
  protected:
    TempFolder folder;
    IniFiles files;
    RecordingMessageBoxes messages;
    ProfileStore profiles{files, folder / "config.ini"};
    MacroStore macros{files, messages};
    HandOverFlags flags;
    RecordingDeviceCommands device;
    RecordingViewPort window;
    FakeClock clock;
    RecordingInput input{&clock};
    RecordingSystemActions system;
    ActionExecutor executor{{flags, profiles, macros, device, window, input, system, clock}};

    void setFunction(int slotIndex, int32_t code) {
        profiles.edit(
            [&](ConfigProfile& p) { p.buttonFunction[static_cast<size_t>(slotIndex)] = code; });
    }

    // The press report of slot index `slotIndex` (0..5), as the reader hands it over.
    void handOver(int slotIndex) {
        handOverCode(static_cast<uint8_t>(0xF0 + buttonHardwareId[static_cast<size_t>(slotIndex)]));
    }
    void handOverCode(uint8_t code) {
        flags.pressedKeyCode.store(code, std::memory_order_relaxed);
        flags.pressPending.store(1, std::memory_order_release);
    }

    // Assigns `code` to slot 1 and performs one press of it.
    void pressWithFunction(int32_t code) {
        setFunction(0, code);
        handOver(0);
        executor.runPass();
    }

    void addMacro(std::initializer_list<MacroStep> steps, uint8_t repeatEnabled = 0,
                  uint16_t repeatCount = 1) {
        macros.edit([&](MacroTable& table) {
            MacroRecord& macro = table.macroSlots[static_cast<size_t>(table.macroCount++)];
            macro = MacroRecord{};
            macro.repeatEnabled = repeatEnabled;
            macro.repeatCount = repeatCount;
            for (const MacroStep& step : steps)
                macro.steps[macro.stepCount++] = step;
        });
    }
};

}  // namespace v270::test
