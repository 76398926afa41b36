#include "ui/advanced_page.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "actions/macro_editing.h"
#include "actions/step_list.h"
#include "settings/text.h"
#include "ui/profile_edits.h"
#include "ui/skin_indices.h"

namespace v270 {

namespace {

constexpr int32_t kSpeedSteps = kMaxSpeedStep + 1;
constexpr char16_t kMacroFileFilter[] = u"All Files(*.dat)|*.dat||";
constexpr char16_t kMacroFileExtension[] = u"dat";
constexpr std::u16string_view kOverflowMessage = u"Overflow!!!";
constexpr std::u16string_view kCaptureLostEnglish =
    u"Windows stopped passing the keyboard to the recording. From now on it records only the "
    u"keys typed in this window.";
constexpr std::u16string_view kCaptureLostChinese =
    u"Windows 已停止将键盘输入交给录制。从现在起只录制在本窗口中输入的按键。";
// The step commands act on this macro at most, whatever the list selects.
constexpr int32_t kLastSelectableMacro = kMaxMacros - 1;

bool within(int32_t index, int32_t first, int32_t count) {
    return index >= first && index < first + count;
}

}  // namespace

AdvancedPage::AdvancedPage(const AdvancedPageServices& services) : s_(services) {}

void AdvancedPage::enter() {
    s_.view.invalidateAdvancedRegion();
    createControls();
    s_.view.updateNow();
    refreshMacroList();
    s_.view.updateNow();
}

void AdvancedPage::createControls() {
    controls_ =
        s_.view.createAdvancedPageControls({s_.tables.repeatEditRect, s_.tables.nameEditRect,
                                            s_.tables.macroListRect, s_.tables.stepListRect},
                                           s_.profiles.englishUi() != 0);
}

void AdvancedPage::relayout() {
    if (!controls_)
        return;
    const std::u16string name = controls_->macroName();
    const std::u16string repeat = controls_->repeatCountText();
    controls_.reset();
    createControls();
    refreshMacroList();
    controls_->setMacroName(name);
    const MacroTable table = s_.macros.table();
    const bool repeats =
        validMacro(table.currentMacro) &&
        table.macroSlots[static_cast<size_t>(table.currentMacro)].repeatEnabled != 0;
    controls_->showRepeatCount(repeat, repeats);
}

void AdvancedPage::leave() {
    stopRecording();
    controls_.reset();
}

bool AdvancedPage::validMacro(int32_t index) const {
    return index >= 0 && index < s_.macros.macroCount();
}

void AdvancedPage::refreshMacroList() {
    if (!controls_)
        return;
    const MacroTable table = s_.macros.table();
    std::vector<std::u16string> names;
    for (int i = 0; i < table.macroCount; ++i)
        names.emplace_back(table.macroSlots[static_cast<size_t>(i)].nameText());
    controls_->showMacros(names);
    if (!names.empty())
        selectMacro(std::clamp(table.currentMacro, 0, static_cast<int32_t>(names.size()) - 1));
}

void AdvancedPage::selectLastStepOfCurrentMacro() {
    const std::optional<MacroRecord> macro = s_.macros.macro(s_.macros.table().currentMacro);
    selectedRow_ = macro && macro->stepCount > 0 ? 2 * macro->stepCount - 2 : 0;
}

void AdvancedPage::selectMacro(int32_t index) {
    s_.macros.select(index);
    controls_->selectMacroRow(index);
    controls_->setMacroName(controls_->macroRowText(index));
    refreshStepList(index);
}

void AdvancedPage::onMacroSelected() {
    if (!controls_)
        return;
    // A recording keeps its macro in view.
    if (recorder_.recording()) {
        controls_->selectMacroRow(recorder_.target());
        return;
    }
    if (const int32_t row = controls_->selectedMacroRow(); validMacro(row))
        selectMacro(row);
}

void AdvancedPage::refreshStepList(int32_t macro) {
    pressCount_ = 0;
    releaseCount_ = 0;
    if (!controls_)
        return;
    const std::optional<MacroRecord> record = s_.macros.macro(macro);
    if (!record || record->stepCount == 0) {
        controls_->showSteps({});
        s_.view.invalidate();
        return;
    }
    const StepListRows list = stepListRows(*record, s_.profiles.englishUi() != 0);
    pressCount_ = list.pressCount;
    releaseCount_ = list.releaseCount;
    controls_->showSteps(list.rows);
    controls_->selectStepRow(recorder_.recording() ? static_cast<int32_t>(list.rows.size()) - 1
                                                   : selectedRow_);
    showRepeatSettings(*record);
    s_.view.invalidate();
}

void AdvancedPage::showRepeatSettings(const MacroRecord& macro) {
    if (macro.repeatEnabled != 0) {
        controls_->showRepeatCount(formatInt(macro.repeatCount), true);
    } else {
        controls_->showRepeatCount(u"1", false);
    }
}

void AdvancedPage::onStepListRightClick(const StepListClick& click) {
    if (!controls_ || recorder_.recording())
        return;
    selectedRow_ = click.row;
    controls_->selectStepRow(selectedRow_);
    stepRowCount_ = controls_->stepRowCount();
    if (click.inside && (selectedRow_ < stepRowCount_ || stepRowCount_ == 0))
        s_.view.showStepMenu(click.screen);
    selectedStep_ = controls_->selectedStepRow() / 2;
    selectedMacro_ = std::min(controls_->selectedMacroRow(), kLastSelectableMacro);
}

void AdvancedPage::onStepCommand(const StepCommand& command) {
    if (!controls_ || recorder_.recording() || !validMacro(selectedMacro_))
        return;
    using Kind = StepCommand::Kind;
    if (command.kind == Kind::ModifyDelay) {
        if (stepRowCount_ != 0 && isDelayRow(selectedRow_))
            controls_->editSelectedStepRow();
        return;
    }
    if (command.kind == Kind::Delete) {
        s_.macros.edit([&](MacroTable& table) {
            deleteStep(table.macroSlots[static_cast<size_t>(selectedMacro_)], selectedStep_);
        });
        selectedRow_ = selectedRow_ < 3 ? 0 : selectedRow_ - 2;
        refreshStepList(selectedMacro_);
        return;
    }
    // Forward inserts before the selected step, backward after it, or first into no steps.
    const bool empty = controls_->stepRowCount() == 0;
    const int32_t position =
        command.kind == Kind::AddForward ? selectedStep_ : (empty ? 0 : selectedStep_ + 1);
    const bool inserted = s_.macros.edit([&](MacroTable& table) {
        return insertStep(table.macroSlots[static_cast<size_t>(selectedMacro_)], position,
                          command.key, command.action);
    });
    if (!inserted) {
        s_.messages.show(kOverflowMessage);
        return;
    }
    selectedRow_ = command.kind == Kind::AddBackward && empty ? 0 : selectedRow_ + 2;
    refreshStepList(selectedMacro_);
}

void AdvancedPage::onStepEditDone() {
    // No edit can end while a recording holds the keyboard: a message that says so is not the
    // step list's.
    if (!controls_ || recorder_.recording() || !validMacro(selectedMacro_))
        return;
    const uint16_t delay = delayFromText(controls_->stepRowText(selectedRow_));
    s_.macros.edit([&](MacroTable& table) {
        MacroRecord& macro = table.macroSlots[static_cast<size_t>(selectedMacro_)];
        if (selectedStep_ >= 0 && selectedStep_ < macro.stepCount)
            macro.steps[static_cast<size_t>(selectedStep_)].delay = delay;
    });
    refreshStepList(selectedMacro_);
}

void AdvancedPage::onCapturedKeysWaiting() {
    if (!capture_)
        return;
    for (const platform::CapturedKey& key : capture_->takeKeys()) {
        if (recorder_.recording())
            record(key.message, key.microsecondOfDay);
    }
}

RecordOutcome AdvancedPage::onWindowKey(const platform::KeyMessage& message,
                                        uint64_t microsecondOfDay) {
    // While the keyboard is captured no key reaches the window, unless the system removed the
    // hook, which it does silently with a hook that kept it waiting. The recording goes on with
    // the window's own keys, and the user learns that keys typed elsewhere are lost to it.
    if (capture_ && platform::isKeyDown(message.transition)) {
        onCapturedKeysWaiting();  // what the hook took before it went comes first
        capture_.reset();
        s_.messages.show(s_.profiles.englishUi() != 0 ? kCaptureLostEnglish : kCaptureLostChinese);
    }
    return record(message, microsecondOfDay);
}

RecordOutcome AdvancedPage::record(const platform::KeyMessage& message, uint64_t microsecondOfDay) {
    const int32_t target = recorder_.target();
    int32_t step = 0;
    RecordOutcome outcome = RecordOutcome::Ignored;
    const MacroRecord macro = s_.macros.edit([&](MacroTable& table) {
        MacroRecord& recorded = table.macroSlots[static_cast<size_t>(target)];
        outcome = recorder_.onKey(recorded, message, microsecondOfDay, step);
        return recorded;
    });
    if (outcome == RecordOutcome::Recorded)
        appendStepRows(macro, step);
    return outcome;
}

void AdvancedPage::appendStepRows(const MacroRecord& macro, int32_t step) {
    const bool english = s_.profiles.englishUi() != 0;
    const MacroStep& written = macro.steps[static_cast<size_t>(step)];
    if (written.action == kStepPress)
        ++pressCount_;
    else
        ++releaseCount_;
    if (controls_) {
        if (step > 0)
            controls_->addStepRow(delayRowText(macro.steps[static_cast<size_t>(step - 1)].delay));
        controls_->addStepRow(stepRowText(written, english));
        controls_->selectStepRow(controls_->stepRowCount() - 1);
    }
    s_.view.invalidate();
}

void AdvancedPage::toggleRecording() {
    controls_->focusStepList();
    if (s_.macros.macroCount() == 0)
        return;
    if (recorder_.recording()) {
        stopRecording();
        return;
    }
    const int32_t target = std::max(controls_->selectedMacroRow(), 0);
    const std::u16string name = controls_->macroRowText(target);
    // The hook comes first: the capture is found once, not looked for on every key.
    capture_ = s_.view.captureKeyboard();
    s_.macros.edit([&](MacroTable& table) {
        recorder_.start(table.macroSlots[static_cast<size_t>(target)], target, name);
        table.currentMacro = target;
    });
    pressCount_ = 0;
    releaseCount_ = 0;
    controls_->showRepeatCount(u"1", false);
    controls_->showSteps({});
    s_.view.invalidate();
}

void AdvancedPage::stopRecording() {
    if (!recorder_.recording())
        return;
    s_.macros.edit([&](MacroTable& table) {
        recorder_.stop(table.macroSlots[static_cast<size_t>(recorder_.target())]);
    });
    capture_.reset();
    s_.view.invalidate();
}

void AdvancedPage::importMacros() {
    const std::optional<std::filesystem::path> file = s_.dialogs.openFile(
        {.filter = kMacroFileFilter, .initialFolder = s_.paths.exeFolder, .readOnly = true});
    if (!file)
        return;
    s_.macros.loadMacros(*file);
    refreshMacroList();
    s_.view.invalidate();
}

void AdvancedPage::exportMacros() {
    const std::optional<std::filesystem::path> file =
        s_.dialogs.saveFile({.filter = kMacroFileFilter,
                             .defaultExtension = kMacroFileExtension,
                             .initialFolder = s_.paths.exeFolder,
                             .overwritePrompt = true});
    if (file)
        s_.macros.saveMacros(*file);
}

void AdvancedPage::addMacro() {
    const std::u16string name = controls_->macroName();
    controls_->focusMacroList();
    const std::optional<AddedMacro> added =
        s_.macros.edit([&](MacroTable& table) { return v270::addMacro(table, name); });
    if (!added)
        return;
    if (added->created) {
        s_.macros.select(added->index);
        controls_->showSteps({});
        const std::optional<MacroRecord> record = s_.macros.macro(added->index);
        controls_->addMacroRow(record ? record->nameText() : std::u16string_view(name));
        controls_->selectMacroRow(added->index);
        pressCount_ = 0;
        releaseCount_ = 0;
        return;
    }
    // A macro of that name: it is selected, and shown.
    selectMacro(added->index);
}

void AdvancedPage::deleteMacro() {
    const int32_t row = controls_->selectedMacroRow();
    if (!validMacro(row))
        return;
    const int32_t next =
        s_.macros.edit([&](MacroTable& table) { return v270::deleteMacro(table, row); });
    controls_->removeMacroRow(row);
    s_.macros.select(next);
    if (s_.macros.macroCount() == 0) {
        controls_->setMacroName(u"");
        controls_->showRepeatCount(u"1", false);
    } else {
        controls_->selectMacroRow(next);
        controls_->setMacroName(controls_->macroRowText(next));
    }
    refreshStepList(next);
}

void AdvancedPage::takeRepeatCount() {
    const int32_t current = s_.macros.table().currentMacro;
    if (!validMacro(current))
        return;
    const std::u16string text = controls_->repeatCountText();
    const uint16_t count = repeatCountFromText(text);
    const bool repeats = s_.macros.edit([&](MacroTable& table) {
        MacroRecord& macro = table.macroSlots[static_cast<size_t>(current)];
        macro.repeatCount = count;
        return macro.repeatEnabled != 0;
    });
    // A count outside 1..65535 is shown as it was taken.
    if (parseLeadingInt(text) != count)
        controls_->showRepeatCount(formatInt(count), repeats);
    s_.macros.saveMacros(s_.macros.filePath());
}

void AdvancedPage::toggleRepeat() {
    const int32_t current = s_.macros.table().currentMacro;
    if (!validMacro(current))
        return;
    const MacroRecord macro = s_.macros.edit([&](MacroTable& table) {
        MacroRecord& record = table.macroSlots[static_cast<size_t>(current)];
        record.repeatEnabled = record.repeatEnabled != 0 ? 0 : 1;
        return record;
    });
    showRepeatSettings(macro);
    s_.view.invalidate();
}

PressOutcome AdvancedPage::press(Point point, const Hovers& hovers) {
    using namespace advanced_item;
    const int32_t hover = hovers.advanced;
    const auto edit = [&](auto&& change) { s_.profiles.edit(change); };
    // While a recording runs the macros change only through it: the record button, export and
    // the macro mode still act.
    const bool editable = controls_ && !recorder_.recording();
    switch (hover) {
        case kImportMacros:
            if (editable)
                importMacros();
            return PressOutcome::Done;
        case kExportMacros:
            exportMacros();
            return PressOutcome::Done;
        case kAddMacro:
            if (editable)
                addMacro();
            return PressOutcome::Done;
        case kDeleteMacro:
            if (editable)
                deleteMacro();
            return PressOutcome::Done;
        case kRecord:
            if (controls_)
                toggleRecording();
            return PressOutcome::Done;
        case kTakeRepeatCount:
            if (editable)
                takeRepeatCount();
            return PressOutcome::Done;
        case kRepeatSwitch:
            if (editable)
                toggleRepeat();
            return PressOutcome::Done;
        case kMacroModeSwitch:
            edit([](ConfigProfile& p) { p.macroMode2 = p.macroMode2 == 0 ? 1 : 0; });
            return PressOutcome::Done;
        default:
            break;
    }
    if (within(hover, kFirstPointerSpeed, kSpeedSteps)) {
        edit([&](ConfigProfile& p) {
            p.dpiSpeed = static_cast<uint8_t>(hover - kFirstPointerSpeed);
        });
    } else if (within(hover, kFirstWheelSpeed, kSpeedSteps)) {
        edit([&](ConfigProfile& p) {
            p.wheelSpeed = static_cast<uint8_t>(hover - kFirstWheelSpeed);
        });
    } else if (hover == kFireBar) {
        const SkinItem& bar = s_.tables.advancedItems[static_cast<size_t>(kFireBar)];
        edit([&](ConfigProfile& p) { p.fireTime = fireTimeAt(point.x, bar); });
        s_.view.invalidate();
    } else if (hover == kFirePlus || hover == kFireMinus) {
        const int32_t step = hover == kFirePlus ? 1 : -1;
        edit([&](ConfigProfile& p) { p.fireTime = steppedFireTime(p.fireTime, step); });
        s_.view.invalidate();
    } else if (hover == NO_HIT && hovers.main == NO_HIT) {
        return PressOutcome::DragWindow;
    }
    return PressOutcome::Done;
}

void AdvancedPage::fill(FrameState& frame) const {
    const MacroTable macros = s_.macros.table();
    if (macros.currentMacro >= 0 && macros.currentMacro < macros.macroCount) {
        frame.currentMacroRepeats =
            macros.macroSlots[static_cast<size_t>(macros.currentMacro)].repeatEnabled != 0;
    }
    frame.recording = recorder_.recording();
    frame.pressCount = pressCount_;
    frame.releaseCount = releaseCount_;
}

}  // namespace v270
