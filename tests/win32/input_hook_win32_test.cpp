// The real input paths under Wine: the executor and macro playback send through keybd_event
// and mouse_event, and a low-level hook in another program (v270-keyprobe) sees the events.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <ostream>

#include "actions/action_executor.h"
#include "actions/macro_playback.h"
#include "fakes/recording_services.h"
#include "key_probe.h"
#include "platform/keyboard_capture.h"
#include "platform/synthetic_input.h"
#include "platform/system_clock.h"
#include "settings/function_codes.h"
#include "support/recording_message_boxes.h"
#include "support/recording_view_port.h"
#include "support/temp_folder.h"

namespace v270 {
namespace {

using testing::ElementsAre;

constexpr uint32_t kExtended = LLKHF_EXTENDED;
constexpr uint32_t kInjected = LLKHF_INJECTED;
constexpr uint32_t kUp = LLKHF_UP;
constexpr uint32_t kMouseInjected = LLMHF_INJECTED;

// What the hook reports of an event, its message kind aside (Windows and Wine differ on which
// of the Alt chords come as system keys).
struct Seen {
    bool mouse = false;
    std::string message;  // mouse events only
    bool up = false;
    uint32_t virtualKey = 0;
    uint32_t scanCode = 0;
    uint32_t flags = 0;  // extended, injected and up for keys; injected for mouse buttons

    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& seen) {
    if (seen.mouse)
        return out << "mouse " << seen.message << " flags " << seen.flags;
    return out << (seen.up ? "up" : "down") << " vk 0x" << std::hex << seen.virtualKey << " scan 0x"
               << seen.scanCode << " flags 0x" << seen.flags << std::dec;
}

Seen down(uint32_t key, uint32_t scan, uint32_t flags = 0) {
    return {false, "", false, key, scan, flags | kInjected};
}
Seen up(uint32_t key, uint32_t scan, uint32_t flags = 0) {
    return {false, "", true, key, scan, flags | kInjected | kUp};
}
Seen button(const char* message) {
    return {true, message, false, 0, 0, kMouseInjected};
}

uint32_t mapped(uint32_t key) {
    return MapVirtualKeyW(key, MAPVK_VK_TO_VSC) & 0xFFu;
}

class InputHookWin32Test : public testing::Test {
  protected:
    test::TempFolder folder;
    std::unique_ptr<platform::SyntheticInput> input = platform::createSyntheticInput();
    std::unique_ptr<platform::Clock> clock = platform::createSystemClock();
    test::KeyProbe probe{folder / "probe.txt"};

    void SetUp() override {
        ASSERT_TRUE(probe.started()) << V270_KEYPROBE;
        ASSERT_TRUE(probe.waitReady());
    }

    // What the probe saw, each event tagged as the program's own, so that a recording lets it
    // through.
    std::vector<Seen> seen() {
        std::vector<Seen> result;
        for (const test::ProbedEvent& event : probe.finish([this](uint8_t key, bool release) {
                 input->keyEvent(key, 0, release ? platform::kKeyEventKeyUp : 0);
             })) {
            EXPECT_EQ(event.extra, platform::kOwnInputTag);
            Seen one{event.mouse,    event.mouse ? event.message : "",
                     event.up,       event.virtualKey,
                     event.scanCode, event.flags};
            one.flags &= event.mouse ? kMouseInjected : (kExtended | kInjected | kUp);
            if (event.mouse)
                one.up = false;
            result.push_back(one);
        }
        return result;
    }
};

TEST_F(InputHookWin32Test, ExecutorShortcutsReachAnotherProgramsHook) {
    IniFiles files;
    test::RecordingMessageBoxes messages;
    ProfileStore profiles{files, folder / "config.ini"};
    MacroStore macros{files, messages};
    HandOverFlags flags;
    test::RecordingDeviceCommands device;
    test::RecordingViewPort window;
    test::RecordingSystemActions system;
    ActionExecutor executor{{flags, profiles, macros, device, window, *input, system, *clock}};
    profiles.edit([](ConfigProfile& p) {
        p.buttonFunction = {
            function_code::kCopy, function_code::kVolumeMute, function_code::kCloseWindow, 5, 4, 1};
    });
    for (const int hardwareId : {1, 2, 3}) {
        flags.pressedKeyCode = static_cast<uint8_t>(0xF0 + hardwareId);
        flags.pressPending = 1;
        executor.runPass();
    }
    EXPECT_THAT(seen(),
                ElementsAre(down(VK_CONTROL, 0), down('C', mapped('C')), up('C', mapped('C')),
                            up(VK_CONTROL, 0), down(VK_VOLUME_MUTE, 0), up(VK_VOLUME_MUTE, 0),
                            down(VK_MENU, 0), down(VK_F4, mapped(VK_F4)), up(VK_F4, mapped(VK_F4)),
                            up(VK_MENU, 0)));
}

TEST_F(InputHookWin32Test, MacroKeysButtonsAndTheReleaseOfWhatItLeftDown) {
    std::atomic<int32_t> stopRequested{0};
    MacroPlayback playback(*input, *clock, stopRequested);
    MacroRecord macro;
    const MacroStep steps[] = {
        {VK_RIGHT, kStepPress, 1},       {VK_RIGHT, kStepRelease, 1},
        {VK_SNAPSHOT, kStepPress, 1},    {VK_SNAPSHOT, kStepRelease, 1},
        {VK_PAUSE, kStepPress, 1},       {VK_PAUSE, kStepRelease, 1},
        {VK_NUMPAD6, kStepPress, 1},     {VK_NUMPAD6, kStepRelease, 1},
        {kMouseLeftKey, kStepPress, 1},  {kMouseLeftKey, kStepRelease, 1},
        {kMouseRightKey, kStepPress, 1}, {VK_SHIFT, kStepPress, 1},
    };
    for (const MacroStep& step : steps)
        macro.steps[macro.stepCount++] = step;
    playback.play(macro, 0);
    EXPECT_THAT(
        seen(),
        ElementsAre(down(VK_RIGHT, mapped(VK_RIGHT), kExtended),
                    up(VK_RIGHT, mapped(VK_RIGHT), kExtended), down(VK_SNAPSHOT, 0x37, kExtended),
                    up(VK_SNAPSHOT, 0x37, kExtended), down(VK_PAUSE, 0x45), up(VK_PAUSE, 0x45),
                    down(VK_NUMPAD6, mapped(VK_NUMPAD6)), up(VK_NUMPAD6, mapped(VK_NUMPAD6)),
                    button("WM_LBUTTONDOWN"), button("WM_LBUTTONUP"), button("WM_RBUTTONDOWN"),
                    down(VK_SHIFT, mapped(VK_SHIFT)),
                    // Left down by the macro: released, the last pressed first.
                    up(VK_SHIFT, mapped(VK_SHIFT)), button("WM_RBUTTONUP")));
}

}  // namespace
}  // namespace v270
