#include "ui/main_page.h"

#include <cstddef>

#include "ui/profile_edits.h"
#include "ui/warning_dialog.h"

namespace v270 {

namespace {

bool within(int32_t index, int32_t first, int32_t count) {
    return index >= first && index < first + count;
}

}  // namespace

MainPage::MainPage(ProfileStore& profiles, const SkinTables& tables, platform::ViewPort& view,
                   std::unique_ptr<PageAnimation> blinking)
    : profiles_(profiles), tables_(tables), view_(view), blinking_(std::move(blinking)) {}

void MainPage::closeFunctionMenu() {
    if (!menuDlgOpen_)
        return;
    view_.closeFunctionMenu();
    menuDlgOpen_ = false;
}

PressOutcome MainPage::press(Point, const Hovers& hovers) {
    using namespace main_item;
    const int32_t hover = hovers.main;
    const auto edit = [&](auto&& change) { profiles_.edit(change); };
    if (hover >= kFirstButtonLabel && hover <= kLastButtonLabel) {
        return openAssignmentPopup(hover);
    } else if (hover == kWheelFirst || hover == kWheelSecond) {
        edit([&](ConfigProfile& p) { p.wheelStatus = hover == kWheelSecond ? 1 : 0; });
    } else if (within(hover, kFirstDpiSwitch, kDpiLevelCount)) {
        edit([&](ConfigProfile& p) { toggleDpiLevel(p, hover - kFirstDpiSwitch); });
    } else if (within(hover, kFirstDpiSelect, kDpiLevelCount)) {
        edit([&](ConfigProfile& p) { selectDpiLevel(p, hover - kFirstDpiSelect); });
    } else if (hover >= kFirstDpiCell && hover <= kLastDpiCell) {
        edit([&](ConfigProfile& p) { selectDpiCell(p, hover); });
    } else if (hover == NO_HIT) {
        return PressOutcome::DragWindow;
    }
    return PressOutcome::Done;
}

PressOutcome MainPage::openAssignmentPopup(int32_t button) {
    menuButton_ = button;
    const SkinItem& entry = tables_.mainItems[static_cast<size_t>(menuButton_)];
    const Point window = view_.screenOrigin();
    const Point origin{window.x + entry.x, window.y + entry.y + entry.height};

    PressOutcome outcome = PressOutcome::Done;
    if (warningNeeded(profiles_.profile().buttonFunction, menuSlot())) {
        const int32_t result = view_.showWarning(origin);
        // The modal dialog took the release, so the press has ended here too.
        outcome = PressOutcome::PressEnded;
        view_.invalidate();
        if (result == platform::kWarningCancelled)
            return outcome;
    }
    view_.openFunctionMenu(origin, menuSlot());
    menuDlgOpen_ = true;
    return outcome;
}

}  // namespace v270
