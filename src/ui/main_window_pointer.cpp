#include "ui/main_window_pointer.h"

#include "ui/skin_indices.h"
#include "ui/tray.h"

namespace v270 {

void MainWindowPointer::fill(FrameState& frame) const {
    frame.mainHover = hovers_.main;
    frame.advancedHover = hovers_.advanced;
    frame.colourHover = hovers_.colour;
    frame.buttonPressed = buttonPressed_;
}

PageController& MainWindowPointer::controller(Page shown) {
    switch (shown) {
        case PAGE_ADVANCED:
            return s_.advancedPage;
        case PAGE_COLOUR:
            return s_.colourPage;
        case PAGE_MAIN:
            break;
    }
    return s_.mainPage;
}

void MainWindowPointer::repaintNow() {
    if (page() == PAGE_ADVANCED) {
        s_.view.invalidateAdvancedRegion();
    } else {
        s_.view.invalidate();
    }
    s_.view.updateNow();
}

void MainWindowPointer::onMouseMove(Point point) {
    track(point);
}

void MainWindowPointer::click(Point point) {
    const Point pointer = lastPoint_;
    onLeftButtonDown(point);
    onLeftButtonUp(point);
    track(pointer);
}

void MainWindowPointer::track(Point point) {
    lastPoint_ = point;
    const int32_t lastMain =
        page() == PAGE_MAIN ? main_item::kLastHitOnMainPage : main_item::kLastHitOnOtherPages;
    hovers_.main = HitTest(point, s_.tables.mainItems, lastMain);
    hovers_.colour = HitTest(point, s_.tables.colourItems, colour_item::kLastHit);
    hovers_.advanced = HitTest(point, s_.tables.advancedItems, advanced_item::kLastHit);

    // One repaint shows every index that changed.
    const bool changed = hovers_.main != previous_.main || hovers_.colour != previous_.colour ||
                         hovers_.advanced != previous_.advanced;
    previous_ = hovers_;
    if (changed)
        repaintNow();
}

std::optional<Page> MainWindowPointer::tabUnderPointer() const {
    switch (hovers_.main) {
        case main_item::kMainTab:
            return PAGE_MAIN;
        case main_item::kAdvancedTab:
            return PAGE_ADVANCED;
        case main_item::kColourTab:
            return PAGE_COLOUR;
        default:
            return std::nullopt;
    }
}

void MainWindowPointer::onLeftButtonDown(Point point) {
    // A press where no move was seen (a window that appeared under a still pointer) acts on what
    // lies under it all the same.
    track(point);
    if (hovers_.main != NO_HIT || hovers_.advanced != NO_HIT || hovers_.colour != NO_HIT) {
        buttonPressed_ = true;
        s_.view.invalidate();
    }
    const Page shown = page();
    if (shown == PAGE_MAIN)
        s_.mainPage.closeFunctionMenu();
    if (const std::optional<Page> tab = tabUnderPointer(); tab && *tab != shown) {
        switchPage(*tab);
        return;
    }
    switch (controller(shown).press(point, hovers_)) {
        case PressOutcome::DragWindow:
            startDrag(point);
            break;
        case PressOutcome::PressEnded:
            buttonPressed_ = false;
            break;
        case PressOutcome::Done:
            break;
    }
}

void MainWindowPointer::onLeftButtonUp(Point point) {
    using namespace main_item;
    track(point);
    buttonPressed_ = false;
    s_.view.invalidate();

    ProfileStore& profiles = s_.profiles;
    const int32_t hover = hovers_.main;
    if (hover == kRevert) {
        hovers_.main = NO_HIT;
        profiles.saveDpiLevel(profiles.configFilePath(), kLastAppliedSlot);
        profiles.loadProfile(profiles.configFilePath(), kLastAppliedSlot, false);
        s_.tray.hideToTray();
        s_.view.invalidate();
    } else if (hover == kApply) {
        s_.settings.apply();
    } else if (hover >= kFirstProfile && hover <= kLastProfile) {
        const int32_t slot = hover - (kFirstProfile - 1);
        profiles.switchProfile(slot);
        s_.view.invalidate();
    } else if (hover == kMinimise) {
        hovers_.main = NO_HIT;
        s_.view.postMinimise(point);
    } else if (hover == kClose) {
        hovers_.main = NO_HIT;
        s_.tray.hideToTray();
    } else if (hover == kImport) {
        s_.settings.importProfile();
    } else if (hover == kExport) {
        s_.settings.exportProfile();
    } else if (hover == kReset) {
        s_.settings.reset();
    } else if (hover == kChinese || hover == kEnglish) {
        s_.settings.switchLanguage(hover == kEnglish ? 1 : 0);
    }
}

void MainWindowPointer::switchPage(Page to) {
    const Page from = page();
    if (to == from)
        return;
    s_.currentPage.store(to);
    controller(to).enter();
    controller(from).leave();
    // The advanced page has painted its own region around its controls.
    if (to != PAGE_ADVANCED)
        s_.view.invalidate();
}

void MainWindowPointer::startDrag(Point point) {
    // The system's move loop takes the release, so no button-up will end this press.
    buttonPressed_ = false;
    s_.view.startDrag(point);
}

}  // namespace v270
