#include "ui/advanced_page.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "ui/profile_edits.h"
#include "ui/skin_indices.h"

namespace v270 {

namespace {

constexpr int32_t kSpeedSteps = kMaxSpeedStep + 1;

bool within(int32_t index, int32_t first, int32_t count) {
    return index >= first && index < first + count;
}

}  // namespace

AdvancedPage::AdvancedPage(ProfileStore& profiles, MacroStore& macros, const SkinTables& tables,
                           platform::ViewPort& view)
    : profiles_(profiles), macros_(macros), tables_(tables), view_(view) {}

void AdvancedPage::enter() {
    view_.invalidateAdvancedRegion();
    controls_ = view_.createAdvancedPageControls(
        {tables_.repeatEditRect, tables_.nameEditRect, tables_.macroListRect, tables_.stepListRect},
        profiles_.englishUi() != 0);
    view_.updateNow();
    refreshMacroList();
    view_.updateNow();
}

void AdvancedPage::refreshMacroList() {
    if (!controls_)
        return;
    const MacroTable table = macros_.table();
    std::vector<std::u16string> names;
    for (int i = 0; i < table.macroCount; ++i)
        names.emplace_back(table.macroSlots[static_cast<size_t>(i)].nameText());
    int32_t selected = 0;
    if (!names.empty()) {
        selected = std::clamp(table.currentMacro, 0, static_cast<int32_t>(names.size()) - 1);
        macros_.edit([selected](MacroTable& t) { t.currentMacro = selected; });
    }
    controls_->showMacros(names, selected);
}

PressOutcome AdvancedPage::press(Point point, const Hovers& hovers) {
    using namespace advanced_item;
    const int32_t hover = hovers.advanced;
    const auto edit = [&](auto&& change) { profiles_.edit(change); };
    if (hover >= kImportMacros && hover <= kMacroModeSwitch) {
        // The macro entries: their editor comes with the step list.
    } else if (within(hover, kFirstPointerSpeed, kSpeedSteps)) {
        edit([&](ConfigProfile& p) {
            p.dpiSpeed = static_cast<uint8_t>(hover - kFirstPointerSpeed);
        });
    } else if (within(hover, kFirstWheelSpeed, kSpeedSteps)) {
        edit([&](ConfigProfile& p) {
            p.wheelSpeed = static_cast<uint8_t>(hover - kFirstWheelSpeed);
        });
    } else if (hover == kFireBar) {
        const SkinItem& bar = tables_.advancedItems[static_cast<size_t>(kFireBar)];
        edit([&](ConfigProfile& p) { p.fireTime = fireTimeAt(point.x, bar); });
        view_.invalidate();
    } else if (hover == kFirePlus || hover == kFireMinus) {
        const int32_t step = hover == kFirePlus ? 1 : -1;
        edit([&](ConfigProfile& p) { p.fireTime = steppedFireTime(p.fireTime, step); });
        view_.invalidate();
    } else if (hover == NO_HIT && hovers.main == NO_HIT) {
        return PressOutcome::DragWindow;
    }
    return PressOutcome::Done;
}

void AdvancedPage::fill(FrameState& frame) const {
    const MacroTable macros = macros_.table();
    for (int i = 0; i < macros.macroCount; ++i)
        frame.macroNames.emplace_back(macros.macroSlots[static_cast<size_t>(i)].nameText());
    if (macros.currentMacro >= 0 && macros.currentMacro < macros.macroCount) {
        frame.currentMacroRepeats =
            macros.macroSlots[static_cast<size_t>(macros.currentMacro)].repeatEnabled != 0;
    }
}

}  // namespace v270
