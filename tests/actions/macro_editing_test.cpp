#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "actions/macro_editing.h"
#include "actions/macro_recorder.h"
#include "actions/step_list.h"

namespace v270 {
namespace {

using platform::KeyMessage;
using platform::KeyTransition;
using testing::ElementsAre;

constexpr uint8_t kA = 0x41;
constexpr uint8_t kB = 0x42;
constexpr uint8_t kShift = 0x10;

MacroRecord macroOf(std::initializer_list<MacroStep> steps) {
    MacroRecord macro;
    for (const MacroStep& step : steps)
        macro.steps[macro.stepCount++] = step;
    return macro;
}

std::vector<MacroStep> stepsOf(const MacroRecord& macro) {
    return {macro.steps.begin(), macro.steps.begin() + macro.stepCount};
}

TEST(StepListTest, StepAndDelayRowsInTurnAndTheCounts) {
    const MacroRecord macro =
        macroOf({{kA, kStepPress, 30}, {kA, kStepRelease, 150}, {kMouseLeftKey, 9, 5}});
    const StepListRows list = stepListRows(macro, true);
    EXPECT_THAT(list.rows, ElementsAre(u"[↓]A", u"    30ms", u"[↑]A", u"    150ms", u"Left_Key"))
        << "the last step's delay is not shown; an unknown action has no mark";
    EXPECT_EQ(list.pressCount, 1);
    EXPECT_EQ(list.releaseCount, 1);
    EXPECT_TRUE(stepListRows(MacroRecord{}, true).rows.empty());
    EXPECT_EQ(stepRowText({0x07, kStepPress, 0}, false), u"[↓]不可录制");
    EXPECT_TRUE(isDelayRow(5));
    EXPECT_FALSE(isDelayRow(4));
}

TEST(MacroEditingTest, InsertBeforeAfterAndIntoNothingKeepsTheOtherSteps) {
    MacroRecord macro = macroOf({{kA, kStepPress, 10}, {kA, kStepRelease, 20}});
    ASSERT_TRUE(insertStep(macro, 1, kMouseLeftKey, kStepPress));
    ASSERT_TRUE(insertStep(macro, 3, kMouseRightKey, kStepRelease));
    EXPECT_THAT(
        stepsOf(macro),
        ElementsAre(MacroStep{kA, kStepPress, 10}, MacroStep{kMouseLeftKey, kStepPress, 30},
                    MacroStep{kA, kStepRelease, 20}, MacroStep{kMouseRightKey, kStepRelease, 30}));
    MacroRecord empty;
    ASSERT_TRUE(insertStep(empty, 0, kMouseMiddleKey, kStepPress));
    EXPECT_THAT(stepsOf(empty), ElementsAre(MacroStep{kMouseMiddleKey, kStepPress, 30}));

    MacroRecord full;
    full.stepCount = kMaxMacroSteps;
    EXPECT_FALSE(insertStep(full, 0, kA, kStepPress)) << "254 steps: the overflow";
    EXPECT_EQ(full.stepCount, kMaxMacroSteps);
}

TEST(MacroEditingTest, DeleteMovesTheLaterStepsDown) {
    MacroRecord macro = macroOf({{kA, kStepPress, 1}, {kB, kStepPress, 2}, {kB, kStepRelease, 3}});
    deleteStep(macro, 1);
    EXPECT_THAT(stepsOf(macro),
                ElementsAre(MacroStep{kA, kStepPress, 1}, MacroStep{kB, kStepRelease, 3}));
    deleteStep(macro, 1);
    deleteStep(macro, 0);
    deleteStep(macro, 0);
    EXPECT_EQ(macro.stepCount, 0) << "an empty macro stays empty";
}

TEST(MacroEditingTest, TypedDelaysAndRepeatCounts) {
    struct Case {
        std::u16string text;
        uint16_t delay;
        uint16_t repeats;
    };
    for (const Case& c : std::initializer_list<Case>{{u"150", 150, 150},
                                                     {u"    150ms", 150, 150},
                                                     {u"150ms later 7", 150, 150},
                                                     {u"ms", 0, 1},
                                                     {u"fast", 0, 1},
                                                     {u"-5", 0, 1},
                                                     {u"70000", 65535, 65535},
                                                     {u"65535", 65535, 65535}}) {
        EXPECT_EQ(delayFromText(c.text), c.delay) << std::string(c.text.begin(), c.text.end());
        EXPECT_EQ(repeatCountFromText(c.text), c.repeats);
    }
}

TEST(MacroEditingTest, AddFindsTheNameOrAppendsABlankMacro) {
    MacroTable table;
    table.macroSlots[1].stepCount = 7;  // left over from a larger table loaded before
    EXPECT_FALSE(addMacro(table, u""));
    const auto first = addMacro(table, u"one");
    const auto second = addMacro(table, u"a name far longer than nineteen units");
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(second->created);
    EXPECT_EQ(table.macroSlots[1].nameText(), u"a name far longer t");
    EXPECT_EQ(table.macroSlots[1].stepCount, 0);
    EXPECT_EQ(table.macroSlots[1].repeatCount, 1);
    const auto again = addMacro(table, u"one");
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->created);
    EXPECT_EQ(again->index, 0);
    table.macroCount = kMaxMacros;
    EXPECT_FALSE(addMacro(table, u"thirteenth"));
}

TEST(MacroEditingTest, DeleteRenumbersAndClearsTheVacatedRecord) {
    MacroTable table;
    for (const char16_t* name : {u"zero", u"one", u"two"})
        addMacro(table, name);
    table.macroSlots[2].stepCount = 4;
    table.macroSlots[2].repeatEnabled = 1;
    EXPECT_EQ(deleteMacro(table, 1), 0);
    EXPECT_EQ(table.macroCount, 2);
    EXPECT_EQ(table.macroSlots[1].nameText(), u"two") << "it moved into the place of one";
    EXPECT_EQ(table.macroSlots[1].stepCount, 4);
    EXPECT_EQ(table.macroSlots[2].stepCount, 0);
    EXPECT_EQ(table.macroSlots[2].repeatEnabled, 0);
    EXPECT_EQ(deleteMacro(table, 0), 0) << "the first selects the new first";
}

// Key messages at given times (milliseconds of the day) into a fresh recording.
class RecorderTest : public testing::Test {
  protected:
    RecorderTest() { recorder.start(macro, 3, u"kept"); }

    RecordOutcome key(KeyTransition transition, uint8_t key, uint64_t millisecond) {
        int32_t step = 0;
        return recorder.onKey(macro, KeyMessage{transition, key}, millisecond * 1000, step);
    }
    std::vector<MacroStep> stopped() {
        recorder.stop(macro);
        return stepsOf(macro);
    }

    MacroRecorder recorder;
    MacroRecord macro = macroOf({{kB, kStepPress, 9}});
};

TEST_F(RecorderTest, StartingClearsTheMacroButKeepsItsName) {
    EXPECT_TRUE(recorder.recording());
    EXPECT_EQ(recorder.target(), 3);
    EXPECT_EQ(macro.nameText(), u"kept");
    EXPECT_EQ(macro.stepCount, 0);
    EXPECT_EQ(macro.steps[0], MacroStep{});
    EXPECT_EQ(macro.repeatCount, 1);
}

TEST_F(RecorderTest, TypingAThenBMeasuresEachGap) {
    key(KeyTransition::Down, kA, 1000);
    key(KeyTransition::Up, kA, 1080);
    key(KeyTransition::Down, kB, 1300);
    key(KeyTransition::Up, kB, 1333);
    EXPECT_THAT(stopped(),
                ElementsAre(MacroStep{kA, kStepPress, 80}, MacroStep{kA, kStepRelease, 220},
                            MacroStep{kB, kStepPress, 33}, MacroStep{kB, kStepRelease, 30}));
}

TEST_F(RecorderTest, ShiftAAreFourStepsAndAHeldKeyRecordsOnce) {
    key(KeyTransition::Down, kShift, 0);
    EXPECT_EQ(key(KeyTransition::Down, kA, 10), RecordOutcome::Recorded);
    for (uint64_t repeat = 1; repeat <= 5; ++repeat)
        EXPECT_EQ(key(KeyTransition::Down, kA, 10 + repeat * 33), RecordOutcome::Ignored);
    key(KeyTransition::Up, kA, 300);
    key(KeyTransition::Up, kShift, 310);
    EXPECT_THAT(stopped(),
                ElementsAre(MacroStep{kShift, kStepPress, 10}, MacroStep{kA, kStepPress, 290},
                            MacroStep{kA, kStepRelease, 10}, MacroStep{kShift, kStepRelease, 30}));
}

TEST_F(RecorderTest, AKeyHeldFromBeforeRecordsNothingForItsRelease) {
    EXPECT_EQ(key(KeyTransition::SystemUp, kA, 0), RecordOutcome::PassedOn);
    key(KeyTransition::SystemDown, kB, 5);
    EXPECT_THAT(stopped(), ElementsAre(MacroStep{kB, kStepPress, 0}))
        << "a single step keeps the delay of the blank record";
}

TEST_F(RecorderTest, NineKeysAreHeldAtMostAndTheTenthIsNotRecorded) {
    for (uint8_t k = 0; k < 10; ++k) {
        EXPECT_EQ(key(KeyTransition::Down, static_cast<uint8_t>(kA + k), k),
                  k < 9 ? RecordOutcome::Recorded : RecordOutcome::PassedOn)
            << k;
    }
    EXPECT_EQ(key(KeyTransition::Up, kA + 9, 20), RecordOutcome::PassedOn);
    EXPECT_EQ(key(KeyTransition::Up, kA + 4, 21), RecordOutcome::Recorded);
    EXPECT_EQ(key(KeyTransition::Down, kA + 9, 22), RecordOutcome::Recorded) << "room again";
    EXPECT_EQ(stopped().size(), 11u);
}

TEST_F(RecorderTest, TheStepAndPressLimits) {
    uint64_t now = 0;
    for (int press = 1; press <= MacroRecorder::kMaxPresses; ++press) {
        key(KeyTransition::Down, kA, ++now);
        if (press < MacroRecorder::kMaxPresses)
            key(KeyTransition::Up, kA, ++now);
    }
    EXPECT_EQ(key(KeyTransition::Down, kB, ++now), RecordOutcome::PassedOn) << "108 presses";
    EXPECT_EQ(key(KeyTransition::Up, kA, ++now), RecordOutcome::Recorded) << "the 216th step";
    EXPECT_EQ(key(KeyTransition::Down, kA, ++now), RecordOutcome::Ignored) << "216 steps";
    EXPECT_EQ(stopped().size(), 216u);
}

TEST(RecorderTimeTest, GapsWrapAtMidnightAndStopAt65535) {
    constexpr uint64_t kDay = 86'400'000'000;
    EXPECT_EQ(MacroRecorder::elapsedMilliseconds(1'000'000, 1'250'400), 250);
    EXPECT_EQ(MacroRecorder::elapsedMilliseconds(1'000'000, 1'250'600), 251) << "rounded";
    EXPECT_EQ(MacroRecorder::elapsedMilliseconds(kDay - 40'000, 60'000), 100) << "midnight";
    EXPECT_EQ(MacroRecorder::elapsedMilliseconds(0, 65'536'000), 65535);
    EXPECT_EQ(MacroRecorder::elapsedMilliseconds(0, 3'600'000'000), 65535);
}

}  // namespace
}  // namespace v270
