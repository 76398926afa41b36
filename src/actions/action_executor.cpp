#include "actions/action_executor.h"

#include <optional>

#include "actions/key_chords.h"
#include "actions/profile_switch.h"
#include "actions/virtual_keys.h"
#include "settings/function_codes.h"
#include "settings/text.h"

namespace v270 {

namespace {

constexpr uint8_t kPressCodeBase = 0xF0;  // a press report carries 0xF0 + the hardware id

std::optional<int> slotOfPress(uint8_t pressedKeyCode) {
    for (int slot = 0; slot < kButtonCount; ++slot) {
        if (kPressCodeBase + buttonHardwareId[static_cast<size_t>(slot)] == pressedKeyCode) {
            return slot;
        }
    }
    return std::nullopt;
}

}  // namespace

ActionExecutor::ActionExecutor(const ExecutorServices& services)
    : services_(services),
      playback_(services.input, services.clock, services.flags.stopRequested),
      thread_("v270 executor", platform::ThreadPriority::Highest,
              [this](std::stop_token stop) { run(stop); }) {}

void ActionExecutor::runPass(std::stop_token end) {
    HandOverFlags& flags = services_.flags;
    if (flags.pressPending.load(std::memory_order_acquire) != 0) {
        const uint8_t code = flags.pressedKeyCode.load(std::memory_order_relaxed);
        if (const std::optional<int> slot = slotOfPress(code)) {
            const int32_t function =
                services_.profiles.profile().buttonFunction[static_cast<size_t>(*slot)];
            perform(*slot, function, end);
        }
        // Only a pass that took a press clears the flag: a pass that found none would erase a
        // press that the reader handed over after the test above. The press flag goes before
        // the stop request, so that a press accepted between the two stores starts with a clear
        // stop request rather than one left over from this pass.
        flags.pressPending.store(0, std::memory_order_release);
    }
    flags.stopRequested.store(0, std::memory_order_release);
}

void ActionExecutor::run(std::stop_token stop) {
    while (!stop.stop_requested()) {
        runPass(stop);
        services_.flags.wakeup.wait(stop);
    }
}

void ActionExecutor::perform(int slotIndex, int32_t code, std::stop_token end) {
    if (const int32_t step = services_.device.dpiStep(slotIndex); step != 0) {
        services_.device.changeDpiLevel(step);
        tell(&ButtonChangeListener::dpiLevelChanged);
        return;
    }
    if (const std::optional<int> index = macroIndexOf(code)) {
        // The copy is taken under the store's lock; nullopt when the macro is gone.
        if (const std::optional<MacroRecord> macro = services_.macros.macro(*index))
            playMacro(*macro, end);
        return;
    }
    if (hostFunctionsPaused() && code != function_code::kLedToggle &&
        code != function_code::kNextProfile) {
        return;
    }
    performByCode(code);
}

void ActionExecutor::playMacro(const MacroRecord& macro, std::stop_token end) {
    std::stop_source cut;
    const std::stop_callback ending(end, [&cut] { cut.request_stop(); });
    {
        const std::lock_guard lock(playingMutex_);
        if (hostFunctionsPaused())
            return;
        playing_ = &cut;
    }
    {
        // Step delays last what they say only with the system timer at its finest, which
        // costs every other program on the machine: it is held for the macro alone.
        const platform::PrecisionScope precise(services_.clock);
        playback_.play(macro, services_.profiles.profile().macroMode2, cut.get_token());
    }
    const std::lock_guard lock(playingMutex_);
    playing_ = nullptr;
}

void ActionExecutor::setHostFunctionsPaused(bool paused) {
    const std::lock_guard lock(playingMutex_);
    paused_.store(paused, std::memory_order_release);
    if (paused && playing_ != nullptr)
        playing_->request_stop();
}

void ActionExecutor::performByCode(int32_t code) {
    using namespace function_code;
    platform::SyntheticInput& input = services_.input;
    switch (code) {
        case kLedToggle:
            services_.device.toggleLed();
            tell(&ButtonChangeListener::ledToggled);
            break;
        case kVolumeMute:
            sendVolumeMute(input);
            break;
        case kCopy:
            sendControlChord(virtual_key::kLetterC, input, services_.clock);
            break;
        case kPaste:
            sendControlChord(virtual_key::kLetterV, input, services_.clock);
            break;
        case kSelectAll:
            sendControlChord(virtual_key::kLetterA, input, services_.clock);
            break;
        case kUndo:
            sendControlChord(virtual_key::kLetterZ, input, services_.clock);
            break;
        case kCloseWindow:
            sendAltF4(input);
            break;
        case kComputerFolder:
            services_.system.openComputerFolder();
            break;
        case kLockWorkstation:
            services_.system.lockWorkStation();
            break;
        case kCalculator:
            startSystemProgram(u"calc.exe");
            break;
        case kCommandPrompt:
            startSystemProgram(u"cmd.exe");
            break;
        case kNextProfile:
            nextProfile();
            break;
        default:
            break;  // mouse functions never reach the PC; nothing to do
    }
}

void ActionExecutor::nextProfile() {
    ProfileStore& profiles = services_.profiles;
    const int32_t current = profiles.currentConfig();
    const int32_t next = current >= kProfileCount ? 1 : current + 1;
    switchToProfile(profiles, services_.device, services_.view, next, SwitchOrigin::MouseButton);
    tell(&ButtonChangeListener::profileSwitched);
}

void ActionExecutor::tell(void (ButtonChangeListener::*change)()) {
    if (services_.changes != nullptr)
        (services_.changes->*change)();
}

void ActionExecutor::startSystemProgram(std::u16string_view fileName) {
    // By full path: a bare name is searched for in the program's own folder first, and the
    // program runs with administrator rights, so a file of that name dropped there would run
    // elevated.
    services_.system.startProgram(services_.system.systemFolder() / pathFromUtf16(fileName));
}

}  // namespace v270
