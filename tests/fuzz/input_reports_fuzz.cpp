// Any sequence of input reports from the mouse, of any length and content, handed to the input
// reader one by one, with the action executor's passes, applies that raise the start prompt and
// changes of the macro mode and of the button functions in between, as the input chooses. No
// threads: the reader's report handling and the executor's pass are called directly, with the
// unit tests' fakes for the device link, the input stream and the shell.
//
// Checked against the documented behaviour after every step: the start signal (06 00) alone
// starts a waiting driver; a press code (above 0xF0) is handed over only when none is pending,
// with its code; a second press asks a running macro to stop in macro mode 0 and is dropped in
// mode 1; a release (00) asks it to stop in mode 1; an executor pass performs the function of
// the button whose hardware id the code carries (nothing for a code no button has), then clears
// both flags, and leaves no key or button held down.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "actions/action_executor.h"
#include "actions/fakes/fake_clock.h"
#include "actions/fakes/recording_input.h"
#include "actions/fakes/recording_services.h"
#include "device/input_reader.h"
#include "fuzz_check.h"
#include "settings/function_codes.h"
#include "support/memory_ini_files.h"
#include "support/recording_message_boxes.h"
#include "support/recording_view_port.h"

namespace v270::fuzz {
namespace {

// The reader's state as the documented algorithm has it.
struct Expected {
    uint8_t driverWorking = 1;
    int32_t pressPending = 0;
    uint8_t pressedKeyCode = 0;
    int32_t stopRequested = 0;
    uint8_t applyBlinkStarted = 0;
    uint8_t startKeyVisible = 0;
    int repaints = 0;
};

void expectReport(Expected& e, std::span<const uint8_t> report, int32_t macroMode2) {
    if (report.size() < 2)
        return;
    const uint8_t key = report[1];
    if (e.driverWorking == 1) {
        if (key > 0xF0) {
            if (e.pressPending == 0) {
                e.pressedKeyCode = key;
                e.pressPending = 1;
            } else if (macroMode2 == 0) {
                e.stopRequested = 1;
            }
        } else if (key == 0 && macroMode2 == 1) {
            e.stopRequested = 1;
        }
    } else if (report[0] == 6 && key == 0) {
        e.driverWorking = 1;
        e.applyBlinkStarted = 0;
        e.startKeyVisible = 0;
        ++e.repaints;
    }
}

// The button slot whose press report carries `code`, by the hardware ids 1, 2, 3, 5, 4, 6.
std::optional<size_t> slotOf(uint8_t code) {
    for (size_t slot = 0; slot < buttonHardwareId.size(); ++slot) {
        if (code == 0xF0 + buttonHardwareId[slot])
            return slot;
    }
    return std::nullopt;
}

// Function codes worth assigning: every kind the executor performs, and codes it must ignore.
constexpr int32_t kCodes[] = {0,  1,  5,  6,  7,  11, 17, 18, 19, 20, 26,
                              31, 35, 36, 37, 38, 40, 41, 42, 52, 53, -1};

struct Rig {
    test::MemoryIniFiles files;
    test::RecordingMessageBoxes messages;
    ProfileStore profiles{files, "config.ini"};
    MacroStore macros{files, messages};
    HandOverFlags flags;
    BannerState banner;
    test::RecordingDeviceCommands device;
    test::RecordingViewPort view;
    test::FakeClock clock;
    test::RecordingInput input{&clock};
    test::RecordingSystemActions system;
    MouseInterfaces interfaces;
    InputReader reader{{interfaces, flags, banner, profiles, view, clock}};
    ActionExecutor executor{{flags, profiles, macros, device, view, input, system, clock}};
    int sleepsSincePass = 0;

    Rig() {
        // One short macro, so that macro codes have something to play.
        macros.edit([](MacroTable& table) {
            MacroRecord& macro = table.macroSlots[0];
            macro.stepCount = 2;
            macro.steps[0] = MacroStep{65, kStepPress, 10};
            macro.steps[1] = MacroStep{65, kStepRelease, 10};
            table.macroCount = 1;
        });
        // As an apply does, the DPI functions follow the profile, which the next-profile function
        // replaces.
        device.onApply = [this] {
            const ConfigProfile profile = profiles.profile();
            for (size_t slot = 0; slot < kButtonCount; ++slot)
                device.dpiSteps[slot] = dpiStepOf(profile.buttonFunction[slot]);
        };
        // A macro held in mode 1 plays until the button is released: the release comes after a
        // few of its steps.
        clock.onSleep = [this] {
            if (++sleepsSincePass > 6)
                flags.stopRequested.store(1);
        };
    }
};

void checkFlags(const Rig& rig, const Expected& e) {
    FUZZ_CHECK(rig.banner.driverWorking.load() == e.driverWorking);
    FUZZ_CHECK(rig.flags.pressPending.load() == e.pressPending);
    FUZZ_CHECK(rig.flags.pressedKeyCode.load() == e.pressedKeyCode);
    FUZZ_CHECK(rig.flags.stopRequested.load() == e.stopRequested);
    FUZZ_CHECK(rig.banner.applyBlinkStarted.load() == e.applyBlinkStarted);
    FUZZ_CHECK(rig.banner.startKeyVisible.load() == e.startKeyVisible);
    FUZZ_CHECK(rig.flags.pressPending.load() == 0 || rig.flags.pressedKeyCode.load() > 0xF0);
}

// What a pass does for a press of `slot` with `code`: a device call, or a change of profile.
void checkPass(Rig& rig, std::optional<size_t> slot, int32_t code, size_t deviceCallsBefore,
               int32_t configBefore) {
    const std::vector<std::string> calls = rig.device.calls();
    const std::vector<std::string> added(calls.begin() + static_cast<ptrdiff_t>(deviceCallsBefore),
                                         calls.end());
    std::vector<std::string> expected;
    if (slot) {
        if (const int32_t step = dpiStepOf(code); step != 0)
            expected = {"dpi " + std::to_string(step)};
        else if (code == function_code::kLedToggle)
            expected = {"led"};
        else if (code == function_code::kNextProfile)
            expected = {"apply"};
    }
    FUZZ_CHECK(added == expected);
    const int32_t config = rig.profiles.currentConfig();
    if (slot && code == function_code::kNextProfile)
        FUZZ_CHECK(config == (configBefore >= kProfileCount ? 1 : configBefore + 1));
    else
        FUZZ_CHECK(config == configBefore);
    FUZZ_CHECK(!rig.input.anythingHeld());
}

}  // namespace
}  // namespace v270::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace v270;
    using namespace v270::fuzz;
    Rig rig;
    Expected expected;
    size_t at = 0;
    const auto next = [&]() -> uint8_t { return at < size ? data[at++] : 0; };

    while (at < size) {
        const uint8_t op = next();
        switch (op % 8) {
            case 0:
            case 1:
            case 2:
            case 3: {  // a report of up to 15 bytes; the first two bytes are what matters
                const size_t length = std::min<size_t>(op >> 4, size - at);
                const std::span<const uint8_t> report(data + at, length);
                at += length;
                const int32_t mode = rig.profiles.profile().macroMode2;
                const int repaints = rig.view.invalidations;
                rig.reader.handleReport(report);
                expectReport(expected, report, mode);
                FUZZ_CHECK(rig.view.invalidations - repaints == expected.repaints);
                expected.repaints = 0;
                break;
            }
            case 4: {  // an executor pass
                const uint8_t code = rig.flags.pressedKeyCode.load();
                const std::optional<size_t> slot =
                    rig.flags.pressPending.load() != 0 ? slotOf(code) : std::nullopt;
                const int32_t function =
                    slot ? rig.profiles.profile().buttonFunction[*slot] : int32_t{0};
                const size_t callsBefore = rig.device.calls().size();
                const int32_t configBefore = rig.profiles.currentConfig();
                rig.sleepsSincePass = 0;
                rig.executor.runPass();
                checkPass(rig, slot, function, callsBefore, configBefore);
                expected.pressPending = 0;
                expected.stopRequested = 0;
                break;
            }
            case 5:  // an apply that gives a button a host function raises the start prompt
                rig.banner.driverWorking.store(0);
                rig.banner.startKeyVisible.store(1);
                rig.banner.applyBlinkStarted.store(1);
                expected.driverWorking = 0;
                expected.startKeyVisible = 1;
                expected.applyBlinkStarted = 1;
                break;
            case 6: {  // the macro mode changes on the advanced page
                const int32_t mode = next() & 1;
                rig.profiles.edit([&](ConfigProfile& p) { p.macroMode2 = mode; });
                break;
            }
            case 7: {  // a button gets another function, applied
                const size_t slot = next() % kButtonCount;
                const int32_t code = kCodes[next() % std::size(kCodes)];
                rig.profiles.edit([&](ConfigProfile& p) { p.buttonFunction[slot] = code; });
                rig.device.dpiSteps[slot] = dpiStepOf(code);
                break;
            }
        }
        checkFlags(rig, expected);
    }
    return 0;
}
