// The whole road of a host-function press: the simulated mouse's button, the loopback HID
// transport, the input reader and the executor on their threads, and synthetic input.
#include <gtest/gtest.h>

#include <thread>

#include "actions/action_executor.h"
#include "fakes/recording_input.h"
#include "fakes/recording_services.h"
#include "settings/function_codes.h"
#include "sim_rig.h"
#include "support/recording_message_boxes.h"
#include "wait_until.h"

namespace v270 {
namespace {

using test::waitUntil;

constexpr uint8_t kKeyA = 0x41;
constexpr uint8_t kKeyB = 0x42;

class ExecutorMouseSimTest : public testing::Test {
  protected:
    test::SimRig rig;
    test::RecordingMessageBoxes messages;
    MacroStore macros{rig.files, messages};
    test::RecordingInput input;
    test::RecordingSystemActions system;
    std::unique_ptr<ActionExecutor> executor;

    void SetUp() override {
        ASSERT_TRUE(rig.started);
        // Macro 0 types A and macro 1 types B, over and over.
        macros.edit([](MacroTable& table) {
            table.macroCount = 2;
            for (const auto& [index, key] : {std::pair{0, kKeyA}, std::pair{1, kKeyB}}) {
                MacroRecord& macro = table.macroSlots[static_cast<size_t>(index)];
                macro.repeatEnabled = 1;
                macro.repeatCount = 65535;
                macro.steps[0] = {key, kStepPress, 1};
                macro.steps[1] = {key, kStepRelease, 1};
                macro.stepCount = 2;
            }
        });
        // Slot 4 is the mouse's button 5, slot 5 its button 4.
        rig.store.edit([](ConfigProfile& p) {
            p = builtInDefaultProfile(0);
            p.buttonFunction = {1,
                                2,
                                3,
                                function_code::kFirstMacro,
                                function_code::kFirstMacro + 1,
                                function_code::kDpiCycle};
        });
        ASSERT_EQ(rig.link->FindMouse(), 1);
        rig.link->ApplySettings();
        executor = std::make_unique<ActionExecutor>(ExecutorServices{
            rig.flags, rig.store, macros, *rig.link, rig.window, input, system, *rig.clock});
        rig.startReader();
        executor->ensureRunning();
        // The first click of a host-function button after the apply starts the driver.
        ASSERT_EQ(rig.command("click 6"), "ok");
        ASSERT_TRUE(waitUntil([&] { return rig.banner.driverWorking.load() == 1; }));
    }

    void TearDown() override {
        executor->stop();
        rig.reader->stop();
    }

    bool idle() const { return rig.flags.pressPending.load() == 0; }
    bool playsOn(size_t more) {
        const size_t from = input.eventCount();
        return waitUntil([&] { return input.eventCount() >= from + more; });
    }
    bool onlyKey(uint8_t key) const {
        for (const test::InputEvent& event : input.events()) {
            if (event.virtualKey != key)
                return false;
        }
        return true;
    }
};

TEST_F(ExecutorMouseSimTest, SecondPressStopsARepeatingMacro) {
    ASSERT_EQ(rig.command("press 5"), "ok");
    ASSERT_TRUE(playsOn(10));
    ASSERT_EQ(rig.command("release 5"), "ok");
    ASSERT_TRUE(playsOn(10)) << "the release does not stop it in this mode";
    EXPECT_TRUE(onlyKey(kKeyA)) << "the mouse's button 5 is slot 4";
    ASSERT_EQ(rig.command("press 5"), "ok");
    ASSERT_TRUE(waitUntil([&] { return idle(); }));
    EXPECT_FALSE(input.anythingHeld());
}

TEST_F(ExecutorMouseSimTest, ReleaseStopsAHeldMacro) {
    rig.store.edit([](ConfigProfile& p) { p.macroMode2 = 1; });
    ASSERT_EQ(rig.command("press 4"), "ok");
    ASSERT_TRUE(playsOn(10));
    EXPECT_TRUE(onlyKey(kKeyB)) << "the mouse's button 4 is slot 5";
    ASSERT_EQ(rig.command("release 4"), "ok");
    ASSERT_TRUE(waitUntil([&] { return idle(); }));
    EXPECT_FALSE(input.anythingHeld());
}

TEST_F(ExecutorMouseSimTest, DpiButtonChangesTheMousesLevel) {
    ASSERT_NE(rig.dump().find("\"dpiLevel\":0"), std::string::npos);
    ASSERT_EQ(rig.command("click 6"), "ok");
    EXPECT_TRUE(waitUntil([&] { return rig.dump().find("\"dpiLevel\":1") != std::string::npos; }));
    EXPECT_EQ(rig.store.profile().dpiLevel, 1);
}

}  // namespace
}  // namespace v270
