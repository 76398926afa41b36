#include "ui/advanced_page.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "actions/macro_editing.h"
#include "settings/ini_files.h"
#include "support/fake_file_dialogs.h"
#include "support/recording_message_boxes.h"
#include "support/recording_view_port.h"
#include "support/temp_folder.h"
#include "ui/skin_indices.h"

namespace v270 {
namespace {

using platform::KeyTransition;
using testing::ElementsAre;
using Events = std::vector<std::string>;

constexpr uint8_t kA = 0x41;
constexpr uint8_t kB = 0x42;

// The advanced page over fake controls: macro 0 "two steps" (A down, A up), macro 1 "four
// steps" (A, B pressed and released), macro 1 current.
class AdvancedPageTest : public testing::Test {
  protected:
    AdvancedPageTest() {
        macros.setFilePath(paths.macroFilePath(1));
        macros.edit([](MacroTable& table) {
            table.macroCount = 2;
            table.macroSlots[0].setName(u"two steps");
            table.macroSlots[0].steps[0] = {kA, kStepPress, 30};
            table.macroSlots[0].steps[1] = {kA, kStepRelease, 30};
            table.macroSlots[0].stepCount = 2;
            MacroRecord& four = table.macroSlots[1];
            four.setName(u"four steps");
            four.repeatEnabled = 1;
            four.repeatCount = 5;
            four.steps[0] = {kA, kStepPress, 10};
            four.steps[1] = {kB, kStepPress, 20};
            four.steps[2] = {kA, kStepRelease, 30};
            four.steps[3] = {kB, kStepRelease, 40};
            four.stepCount = 4;
            table.currentMacro = 1;
        });
        profiles.setEnglishUi(1);
        page.enter();
        log.clear();
    }

    PressOutcome pressEntry(int32_t entry) {
        Hovers hovers;
        hovers.advanced = entry;
        return page.press({0, 0}, hovers);
    }
    void rightClick(int32_t row, bool inside = true) {
        page.onStepListRightClick({row, inside, {300, 400}});
    }
    void command(StepCommand::Kind kind, uint8_t key = 0, uint8_t action = 0) {
        page.onStepCommand({kind, key, action});
    }
    MacroRecord macro(int index) const { return *macros.macro(index); }
    // A key the system hands the capture, and the window told of it.
    void typed(KeyTransition transition, uint8_t key, uint64_t millisecond) {
        view.capturedKeys.push_back({{transition, key}, millisecond * 1000});
        page.onCapturedKeysWaiting();
    }
    const test::ControlsState& controls() const { return view.controls; }

    test::TempFolder folder;
    ProgramPaths paths = ProgramPaths::inFolder(folder.path());
    IniFiles files;
    test::RecordingMessageBoxes messages;
    ProfileStore profiles{files, paths.configFilePath};
    MacroStore macros{files, messages};
    SkinTables tables;
    test::EventLog log;
    test::RecordingViewPort view{&log};
    test::FakeFileDialogs dialogs;
    AdvancedPage page{
        AdvancedPageServices{profiles, macros, tables, paths, view, dialogs, messages}};
};

TEST_F(AdvancedPageTest, EnteringShowsTheCurrentMacroWithItsStepsAndRepeatCount) {
    EXPECT_THAT(controls().macroRows, ElementsAre(u"two steps", u"four steps"));
    EXPECT_EQ(controls().selectedMacro, 1);
    EXPECT_EQ(controls().macroName, u"four steps");
    EXPECT_THAT(controls().stepRows, ElementsAre(u"[↓]A", u"    10ms", u"[↓]B", u"    20ms",
                                                 u"[↑]A", u"    30ms", u"[↑]B"));
    EXPECT_EQ(controls().repeatCount, u"5");
    EXPECT_TRUE(controls().repeatEnabled);
    FrameState frame;
    page.fill(frame);
    EXPECT_EQ(frame.pressCount, 2);
    EXPECT_EQ(frame.releaseCount, 2);
    EXPECT_TRUE(frame.currentMacroRepeats);

    view.controls.selectedMacro = 0;
    page.onMacroSelected();
    EXPECT_THAT(controls().stepRows, ElementsAre(u"[↓]A", u"    30ms", u"[↑]A"));
    EXPECT_EQ(controls().repeatCount, u"1");
    EXPECT_FALSE(controls().repeatEnabled);
    EXPECT_EQ(macros.table().currentMacro, 0);
}

TEST_F(AdvancedPageTest, TheMenuOpensOverRowsOrAnEmptyListOnly) {
    rightClick(5);
    EXPECT_EQ(log.events(), (Events{"step menu 300,400"}));
    log.clear();
    rightClick(7);
    rightClick(2, false);
    EXPECT_TRUE(log.events().empty()) << "past the last row, or outside the list";
}

TEST_F(AdvancedPageTest, AddForwardInsertsBeforeTheStepAndMovesTheSelectionDown) {
    rightClick(5);  // the delay of step 2
    command(StepCommand::Kind::AddForward, kMouseLeftKey, kStepPress);
    EXPECT_EQ(macro(1).steps[2], (MacroStep{kMouseLeftKey, kStepPress, 30}));
    EXPECT_EQ(macro(1).steps[3], (MacroStep{kA, kStepRelease, 30}));
    EXPECT_EQ(controls().selectedStep, 7);
    EXPECT_EQ(controls().stepRows[4], u"[↓]Left_Key");

    rightClick(0);
    command(StepCommand::Kind::AddBackward, kMouseRightKey, kStepRelease);
    EXPECT_EQ(macro(1).steps[1], (MacroStep{kMouseRightKey, kStepRelease, 30}));
    EXPECT_EQ(macro(1).stepCount, 6);
}

TEST_F(AdvancedPageTest, AddBackwardIntoNoStepsInsertsFirstAndSelectsRowZero) {
    macros.edit([](MacroTable& table) { table.macroSlots[0].stepCount = 0; });
    view.controls.selectedMacro = 0;
    page.onMacroSelected();
    rightClick(4);
    command(StepCommand::Kind::AddBackward, kMouseMiddleKey, kStepPress);
    EXPECT_EQ(macro(0).stepCount, 1);
    EXPECT_EQ(macro(0).steps[0], (MacroStep{kMouseMiddleKey, kStepPress, 30}));
    EXPECT_EQ(controls().selectedStep, 0);
}

TEST_F(AdvancedPageTest, DeleteSelectsTwoRowsUpOrTheFirst) {
    rightClick(2);
    command(StepCommand::Kind::Delete);
    EXPECT_EQ(macro(1).steps[1], (MacroStep{kA, kStepRelease, 30}));
    EXPECT_EQ(controls().selectedStep, 0);

    rightClick(3);  // a delay row deletes its step: step 1 of the three left
    command(StepCommand::Kind::Delete);
    EXPECT_EQ(macro(1).stepCount, 2);
    EXPECT_EQ(controls().selectedStep, 1);

    macros.edit([](MacroTable& table) {
        for (int k = 0; k < 6; ++k)
            insertStep(table.macroSlots[1], 0, kA, kStepPress);
    });
    page.onMacroSelected();
    rightClick(7);
    command(StepCommand::Kind::Delete);
    EXPECT_EQ(controls().selectedStep, 5);
}

TEST_F(AdvancedPageTest, ModifyDelayEditsOnlyDelayRowsAndTheEditSetsTheDelay) {
    rightClick(2);
    command(StepCommand::Kind::ModifyDelay);
    EXPECT_EQ(controls().editsOpened, 0) << "a step row";
    rightClick(3);
    command(StepCommand::Kind::ModifyDelay);
    EXPECT_EQ(controls().editsOpened, 1);

    view.controls.stepRows[3] = u"150ms";  // what the editor left in the row
    page.onStepEditDone();
    EXPECT_EQ(macro(1).steps[1].delay, 150);
    EXPECT_EQ(controls().stepRows[3], u"    150ms");
    view.controls.stepRows[3] = u"soon";
    page.onStepEditDone();
    EXPECT_EQ(macro(1).steps[1].delay, 0);
}

TEST_F(AdvancedPageTest, InsertingIntoAFullMacroShowsOverflow) {
    macros.edit([](MacroTable& table) { table.macroSlots[1].stepCount = kMaxMacroSteps; });
    rightClick(0);
    command(StepCommand::Kind::AddForward, kMouseLeftKey, kStepPress);
    EXPECT_EQ(messages.shown(), std::vector<std::u16string>{u"Overflow!!!"});
    EXPECT_EQ(macro(1).stepCount, kMaxMacroSteps);
}

TEST_F(AdvancedPageTest, RecordingCapturesTheKeyboardAndWritesTheSteps) {
    pressEntry(advanced_item::kRecord);
    EXPECT_TRUE(page.recording());
    EXPECT_EQ(view.capturesHeld, 1);
    EXPECT_EQ(controls().focus, "steps");
    EXPECT_TRUE(controls().stepRows.empty());
    EXPECT_EQ(controls().repeatCount, u"1");
    EXPECT_FALSE(controls().repeatEnabled);
    EXPECT_EQ(macro(1).nameText(), u"four steps");
    EXPECT_EQ(macro(1).repeatEnabled, 0);

    typed(KeyTransition::Down, kB, 1000);
    typed(KeyTransition::Down, kB, 1033);  // the key repeats
    typed(KeyTransition::Up, kB, 1120);
    EXPECT_THAT(controls().stepRows, ElementsAre(u"[↓]B", u"    120ms", u"[↑]B"));
    EXPECT_EQ(controls().selectedStep, 2);
    FrameState frame;
    page.fill(frame);
    EXPECT_TRUE(frame.recording);
    EXPECT_EQ(frame.pressCount, 1);
    EXPECT_EQ(frame.releaseCount, 1);

    // While recording the macros change only through it.
    rightClick(0);
    view.controls.macroName = u"new";
    pressEntry(advanced_item::kAddMacro);
    pressEntry(advanced_item::kDeleteMacro);
    view.controls.selectedMacro = 0;
    page.onMacroSelected();
    EXPECT_EQ(controls().selectedMacro, 1) << "the recorded macro stays in view";
    EXPECT_EQ(macros.macroCount(), 2);

    pressEntry(advanced_item::kRecord);
    EXPECT_FALSE(page.recording());
    EXPECT_EQ(view.capturesHeld, 0);
    EXPECT_EQ(macro(1).stepCount, 2);
    EXPECT_EQ(macro(1).steps[0], (MacroStep{kB, kStepPress, 120}));
    EXPECT_TRUE(macros.unsavedEdits());
}

// The window's message says only that keys wait: one told twice, or told with nothing waiting
// or no capture at all, as any program could tell it, records nothing more; nor does the end of
// an edit that cannot have begun.
TEST_F(AdvancedPageTest, CapturedKeysAreTakenFromTheCaptureNotFromTheMessage) {
    page.onCapturedKeysWaiting();
    pressEntry(advanced_item::kRecord);
    view.capturedKeys = {{{KeyTransition::Down, kA}, 1'000'000},
                         {{KeyTransition::Up, kA}, 1'050'000}};
    page.onCapturedKeysWaiting();
    page.onCapturedKeysWaiting();
    page.onStepEditDone();  // no edit ends while the keyboard is captured
    EXPECT_THAT(controls().stepRows, ElementsAre(u"[↓]A", u"    50ms", u"[↑]A"));
    pressEntry(advanced_item::kRecord);
    view.capturedKeys = {{{KeyTransition::Down, kB}, 0}};
    page.onCapturedKeysWaiting();
    EXPECT_EQ(macro(1).stepCount, 2);
}

TEST_F(AdvancedPageTest, WithoutTheSystemsKeysTheWindowsOwnKeysAreRecorded) {
    view.refuseCapture = true;
    pressEntry(advanced_item::kRecord);
    ASSERT_TRUE(page.recording());
    EXPECT_FALSE(page.capturing());
    EXPECT_EQ(page.onWindowKey({KeyTransition::Down, kA}, 5'000), RecordOutcome::Recorded);
    EXPECT_EQ(page.onWindowKey({KeyTransition::Up, kB}, 6'000), RecordOutcome::PassedOn);
}

// The system removes a hook that kept it waiting, without a word: the window's own keys then
// arrive although the keyboard is captured. The capture is given up, the user told, and the
// recording goes on with the window's keys.
TEST_F(AdvancedPageTest, AKeyReachingTheWindowWhileCapturedTellsThatTheCaptureWasLost) {
    pressEntry(advanced_item::kRecord);
    ASSERT_TRUE(page.capturing());
    EXPECT_EQ(page.onWindowKey({KeyTransition::Up, kB}, 4'000), RecordOutcome::PassedOn)
        << "the release of a key pressed before the recording says nothing";
    EXPECT_TRUE(page.capturing());
    EXPECT_TRUE(messages.shown().empty());

    EXPECT_EQ(page.onWindowKey({KeyTransition::Down, kA}, 5'000), RecordOutcome::Recorded);
    EXPECT_FALSE(page.capturing());
    EXPECT_EQ(view.capturesHeld, 0);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_NE(messages.shown()[0].find(u"only the keys typed in this window"),
              std::u16string::npos);
    EXPECT_TRUE(page.recording());
}

TEST_F(AdvancedPageTest, EveryWayOutEndsTheRecordingAndReleasesTheKeyboard) {
    for (const bool leaving : {false, true}) {
        pressEntry(advanced_item::kRecord);
        typed(KeyTransition::Down, kA, 0);
        ASSERT_EQ(view.capturesHeld, 1);
        if (leaving) {
            page.leave();  // another page, the tray, or the program's end
        } else {
            page.stopRecording();  // the window hidden or minimised
        }
        EXPECT_FALSE(page.recording());
        EXPECT_EQ(view.capturesHeld, 0);
        EXPECT_EQ(macro(1).stepCount, 1);
    }
}

TEST_F(AdvancedPageTest, RecordingNeedsAMacroInTheList) {
    macros.edit([](MacroTable& table) { table.macroCount = 0; });
    page.refreshMacroList();
    pressEntry(advanced_item::kRecord);
    EXPECT_FALSE(page.recording());
    EXPECT_EQ(view.captures, 0);
}

TEST_F(AdvancedPageTest, AddingSelectsAnExistingNameOrAppendsAnEmptyMacro) {
    view.controls.macroName = u"two steps";
    pressEntry(advanced_item::kAddMacro);
    EXPECT_EQ(macros.macroCount(), 2);
    EXPECT_EQ(controls().selectedMacro, 0);
    EXPECT_EQ(controls().stepRows.size(), 3u) << "its steps are shown";

    view.controls.macroName = u"third";
    pressEntry(advanced_item::kAddMacro);
    EXPECT_EQ(macros.macroCount(), 3);
    EXPECT_THAT(controls().macroRows, ElementsAre(u"two steps", u"four steps", u"third"));
    EXPECT_EQ(controls().selectedMacro, 2);
    EXPECT_TRUE(controls().stepRows.empty());
    EXPECT_EQ(controls().focus, "macros");
}

TEST_F(AdvancedPageTest, DeletingRenumbersAndSelectsTheMacroBefore) {
    pressEntry(advanced_item::kDeleteMacro);
    EXPECT_EQ(macros.macroCount(), 1);
    EXPECT_THAT(controls().macroRows, ElementsAre(u"two steps"));
    EXPECT_EQ(controls().selectedMacro, 0);
    EXPECT_EQ(controls().macroName, u"two steps");
    EXPECT_EQ(controls().stepRows.size(), 3u);

    pressEntry(advanced_item::kDeleteMacro);
    EXPECT_EQ(macros.macroCount(), 0);
    EXPECT_EQ(controls().macroName, u"");
    EXPECT_EQ(controls().repeatCount, u"1");
    EXPECT_FALSE(controls().repeatEnabled);
    pressEntry(advanced_item::kDeleteMacro);  // an empty list: nothing
}

TEST_F(AdvancedPageTest, TheRepeatCountIsClampedShownAndSaved) {
    for (const auto& [typed, stored, shown] :
         {std::tuple{u"0", 1, u"1"}, std::tuple{u"-5", 1, u"1"}, std::tuple{u"x", 1, u"1"},
          std::tuple{u"70000", 65535, u"65535"}, std::tuple{u"12", 12, u"12"}}) {
        view.controls.repeatCount = typed;
        pressEntry(advanced_item::kTakeRepeatCount);
        EXPECT_EQ(macro(1).repeatCount, stored);
        EXPECT_EQ(controls().repeatCount, shown);
    }
    EXPECT_EQ(files.read(paths.macroFilePath(1), u"Macros", u"macroNum", 3), u"2");
    EXPECT_FALSE(macros.unsavedEdits());
}

TEST_F(AdvancedPageTest, TheRepeatAndMacroModeSwitches) {
    pressEntry(advanced_item::kRepeatSwitch);
    EXPECT_EQ(macro(1).repeatEnabled, 0);
    EXPECT_EQ(controls().repeatCount, u"1");
    EXPECT_FALSE(controls().repeatEnabled);
    pressEntry(advanced_item::kRepeatSwitch);
    EXPECT_EQ(controls().repeatCount, u"5");
    EXPECT_TRUE(controls().repeatEnabled);

    pressEntry(advanced_item::kMacroModeSwitch);
    EXPECT_EQ(profiles.profile().macroMode2, 1);
    pressEntry(advanced_item::kMacroModeSwitch);
    EXPECT_EQ(profiles.profile().macroMode2, 0);
}

TEST_F(AdvancedPageTest, ExportedMacrosImportBack) {
    const std::filesystem::path exported = folder / "mine.dat";
    dialogs.answer = exported;
    pressEntry(advanced_item::kExportMacros);
    ASSERT_EQ(dialogs.saved.size(), 1u);
    EXPECT_EQ(dialogs.saved[0].filter, u"All Files(*.dat)|*.dat||");
    EXPECT_EQ(dialogs.saved[0].defaultExtension, u"dat");
    EXPECT_TRUE(dialogs.saved[0].overwritePrompt);
    EXPECT_EQ(dialogs.saved[0].initialFolder, paths.exeFolder);

    pressEntry(advanced_item::kDeleteMacro);
    pressEntry(advanced_item::kImportMacros);
    ASSERT_EQ(dialogs.opened.size(), 1u);
    EXPECT_TRUE(dialogs.opened[0].defaultExtension.empty());
    EXPECT_EQ(macros.macroCount(), 2);
    EXPECT_THAT(controls().macroRows, ElementsAre(u"two steps", u"four steps"));
    EXPECT_EQ(controls().selectedMacro, 1) << "the last macro of a file becomes current";

    dialogs.answer.reset();
    pressEntry(advanced_item::kImportMacros);
    EXPECT_EQ(macros.macroCount(), 2) << "a cancelled dialog changes nothing";
}

}  // namespace
}  // namespace v270
