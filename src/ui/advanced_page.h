#pragma once

#include <cstdint>
#include <memory>

#include "actions/macro_recorder.h"
#include "platform/file_dialogs.h"
#include "platform/keyboard_capture.h"
#include "platform/message_boxes.h"
#include "platform/view_port.h"
#include "settings/macro_store.h"
#include "settings/profile_store.h"
#include "settings/program_paths.h"
#include "ui/page_controller.h"
#include "ui/skin_tables.h"

namespace v270 {

// A command of the step list's context menu.
struct StepCommand {
    enum class Kind { AddForward, AddBackward, ModifyDelay, Delete };
    Kind kind = Kind::Delete;
    uint8_t key = 0;     // for the adds: the mouse button, 240 left, 241 right, 242 middle
    uint8_t action = 0;  // for the adds: kStepPress or kStepRelease
};

// A right click on the step list, as the window found it.
struct StepListClick {
    int32_t row = 0;      // the row under the pointer, which may lie past the last
    bool inside = false;  // the pointer lies inside the list
    Point screen;         // where the context menu opens
};

struct AdvancedPageServices {
    ProfileStore& profiles;
    MacroStore& macros;
    const SkinTables& tables;
    const ProgramPaths& paths;
    platform::ViewPort& view;
    platform::FileDialogs& dialogs;
    platform::MessageBoxes& messages;
};

// The advanced page: the macros (list, steps, recording from the keyboard, the repeat settings,
// macro files) and the pointer speed, wheel lines and fire interval. Its four standard controls
// exist while the page is shown; it keeps the keyboard captured only while it records, and never
// once the page is left or the window hidden.
class AdvancedPage final : public PageController {
  public:
    explicit AdvancedPage(const AdvancedPageServices& services);

    // Paints the page's region at once, creates the controls over it and lists the macros.
    void enter() override;
    // Ends a recording and destroys the controls.
    void leave() override;
    // The window changed its scale: the controls, if shown, are made again in their new places
    // and font, showing what they showed; a recording goes on.
    void relayout();
    // Gives the keyboard focus to one of the controls, when they are shown.
    void focusControl(platform::AdvancedControl control) {
        if (controls_)
            controls_->focus(control);
    }
    PressOutcome press(Point point, const Hovers& hovers) override;
    void fill(FrameState& frame) const override;

    bool shown() const { return controls_ != nullptr; }
    bool recording() const { return recorder_.recording(); }
    // Recording with the system's keystrokes captured (false: only the window's own keys).
    bool capturing() const { return capture_ != nullptr; }

    // Lists the macros' names and selects the current macro (the last one when it lies beyond).
    // Nothing while the page is not shown.
    void refreshMacroList();

    // At the start: the step list first selects the last step of the current macro, or its
    // first row when it has no steps.
    void selectLastStepOfCurrentMacro();

    // What the window reports of the controls and the keyboard.
    void onMacroSelected();
    void onStepListRightClick(const StepListClick& click);
    void onStepCommand(const StepCommand& command);
    // An in-place edit of the step list ended, kept or not: the selected delay takes its row's
    // number.
    void onStepEditDone();
    // The keyboard capture has keys waiting. What tells it carries nothing, so a message any
    // program could send finds nothing to take.
    void onCapturedKeysWaiting();
    // A key message of the window's own thread while recording. With the system's keys
    // captured, a key-down here means the capture was lost: it is given up and the user told.
    RecordOutcome onWindowKey(const platform::KeyMessage& message, uint64_t microsecondOfDay);

    // Ends a recording: the window is hidden or minimised, the page left, or the program ends.
    void stopRecording();

  private:
    void createControls();
    void selectMacro(int32_t index);
    void refreshStepList(int32_t macro);
    void showRepeatSettings(const MacroRecord& macro);
    RecordOutcome record(const platform::KeyMessage& message, uint64_t microsecondOfDay);
    void appendStepRows(const MacroRecord& macro, int32_t step);

    void importMacros();
    void exportMacros();
    void addMacro();
    void deleteMacro();
    void toggleRecording();
    void takeRepeatCount();
    void toggleRepeat();
    bool validMacro(int32_t index) const;

    AdvancedPageServices s_;
    MacroRecorder recorder_;
    // The step-list selection of the last right click; it survives page changes.
    int32_t selectedRow_ = 0;
    int32_t stepRowCount_ = 0;
    int32_t selectedMacro_ = 0;
    int32_t selectedStep_ = 0;
    int32_t pressCount_ = 0;
    int32_t releaseCount_ = 0;
    std::unique_ptr<platform::AdvancedPageControls> controls_;
    std::unique_ptr<platform::KeyboardCapture> capture_;  // last: released before the controls
};

}  // namespace v270
