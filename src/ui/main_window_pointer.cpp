#include "ui/main_window_pointer.h"

#include <cstddef>

#include "ui/profile_edits.h"
#include "ui/warning_dialog.h"

namespace v270 {

namespace {

constexpr int32_t kSpeedSteps = kMaxSpeedStep + 1;

bool within(int32_t index, int32_t first, int32_t count) {
    return index >= first && index < first + count;
}

}  // namespace

void MainWindowPointer::fill(FrameState& frame) const {
    frame.mainHover = mainHover_;
    frame.advancedHover = advancedHover_;
    frame.colourHover = colourHover_;
    frame.buttonPressed = buttonPressed_;
}

void MainWindowPointer::repaintNow() {
    if (page() == PAGE_ADVANCED) {
        s_.window.invalidateAdvancedRegion();
    } else {
        s_.window.invalidate();
    }
    s_.window.updateNow();
}

void MainWindowPointer::onMouseMove(Point point) {
    track(point);
}

void MainWindowPointer::track(Point point) {
    const int32_t lastMain =
        page() == PAGE_MAIN ? main_item::kLastHitOnMainPage : main_item::kLastHitOnOtherPages;
    mainHover_ = HitTest(point, s_.tables.mainItems, lastMain);
    colourHover_ = HitTest(point, s_.tables.colourItems, colour_item::kLastHit);
    advancedHover_ = HitTest(point, s_.tables.advancedItems, advanced_item::kLastHit);

    // One repaint shows every index that changed.
    bool changed = false;
    for (auto [current, previous] : {std::pair{mainHover_, &previousMainHover_},
                                     std::pair{colourHover_, &previousColourHover_},
                                     std::pair{advancedHover_, &previousAdvancedHover_}}) {
        if (current != *previous) {
            *previous = current;
            changed = true;
        }
    }
    if (changed)
        repaintNow();
}

void MainWindowPointer::onLeftButtonDown(Point point) {
    // A press where no move was seen (a window that appeared under a still pointer) acts on what
    // lies under it all the same.
    track(point);
    if (mainHover_ != NO_HIT || advancedHover_ != NO_HIT || colourHover_ != NO_HIT) {
        buttonPressed_ = true;
        s_.window.invalidate();
    }
    switch (page()) {
        case PAGE_ADVANCED:
            pressOnAdvancedPage(point);
            break;
        case PAGE_COLOUR:
            pressOnColourPage(point);
            break;
        case PAGE_MAIN:
            pressOnMainPage(point);
            break;
    }
}

void MainWindowPointer::pressOnMainPage(Point point) {
    using namespace main_item;
    if (menuDlgOpen_) {
        s_.window.closeFunctionMenu();
        menuDlgOpen_ = false;
    }
    const int32_t hover = mainHover_;
    if (hover == kAdvancedTab) {
        switchPage(PAGE_ADVANCED);
    } else if (hover == kColourTab) {
        switchPage(PAGE_COLOUR);
    } else if (hover >= kFirstButtonLabel && hover <= kLastButtonLabel) {
        openAssignmentPopup();
    } else if (hover == kWheelFirst || hover == kWheelSecond) {
        editProfile([&](ConfigProfile& p) { p.wheelStatus = hover == kWheelSecond ? 1 : 0; });
    } else if (within(hover, kFirstDpiSwitch, kDpiLevelCount)) {
        editProfile([&](ConfigProfile& p) { toggleDpiLevel(p, hover - kFirstDpiSwitch); });
    } else if (within(hover, kFirstDpiSelect, kDpiLevelCount)) {
        editProfile([&](ConfigProfile& p) { selectDpiLevel(p, hover - kFirstDpiSelect); });
    } else if (hover >= kFirstDpiCell && hover <= kLastDpiCell) {
        editProfile([&](ConfigProfile& p) { selectDpiCell(p, hover); });
    } else if (hover == NO_HIT) {
        startDrag(point);
    }
}

void MainWindowPointer::pressOnAdvancedPage(Point point) {
    using namespace advanced_item;
    if (mainHover_ == main_item::kMainTab) {
        switchPage(PAGE_MAIN);
        return;
    }
    if (mainHover_ == main_item::kColourTab) {
        switchPage(PAGE_COLOUR);
        return;
    }
    const int32_t hover = advancedHover_;
    if (hover >= kImportMacros && hover <= kMacroModeSwitch) {
        s_.window.advancedMacroEntry(hover);
    } else if (within(hover, kFirstPointerSpeed, kSpeedSteps)) {
        editProfile([&](ConfigProfile& p) {
            p.dpiSpeed = static_cast<uint8_t>(hover - kFirstPointerSpeed);
        });
    } else if (within(hover, kFirstWheelSpeed, kSpeedSteps)) {
        editProfile([&](ConfigProfile& p) {
            p.wheelSpeed = static_cast<uint8_t>(hover - kFirstWheelSpeed);
        });
    } else if (hover == kFireBar) {
        const SkinItem& bar = s_.tables.advancedItems[static_cast<size_t>(kFireBar)];
        editProfile([&](ConfigProfile& p) { p.fireTime = fireTimeAt(point.x, bar); });
        s_.window.invalidate();
    } else if (hover == kFirePlus || hover == kFireMinus) {
        const int32_t step = hover == kFirePlus ? 1 : -1;
        editProfile([&](ConfigProfile& p) { p.fireTime = steppedFireTime(p.fireTime, step); });
        s_.window.invalidate();
    } else if (hover == NO_HIT && mainHover_ == NO_HIT) {
        startDrag(point);
    }
}

void MainWindowPointer::pressOnColourPage(Point point) {
    if (mainHover_ == main_item::kMainTab) {
        switchPage(PAGE_MAIN);
    } else if (mainHover_ == main_item::kAdvancedTab) {
        switchPage(PAGE_ADVANCED);
    } else if (colourHover_ >= colour_item::kFirstLedMode && colourHover_ <= kMaxLedMode) {
        const int32_t mode = colourHover_;
        editProfile([&](ConfigProfile& p) { p.ledStatus = static_cast<uint8_t>(mode); });
    } else if (colourHover_ == NO_HIT && mainHover_ == NO_HIT) {
        startDrag(point);
    }
}

void MainWindowPointer::onLeftButtonUp(Point point) {
    using namespace main_item;
    track(point);
    buttonPressed_ = false;
    s_.window.invalidate();

    ProfileStore& profiles = s_.profiles;
    const int32_t hover = mainHover_;
    if (hover == kRevert) {
        mainHover_ = NO_HIT;
        profiles.saveDpiLevel(profiles.configFilePath(), kLastAppliedSlot);
        profiles.loadProfile(profiles.configFilePath(), kLastAppliedSlot, false);
        s_.window.hideToTray();
        s_.window.invalidate();
    } else if (hover == kApply) {
        s_.settings.apply();
    } else if (hover >= kFirstProfile && hover <= kLastProfile) {
        const int32_t slot = hover - (kFirstProfile - 1);
        profiles.setCurrentConfig(slot);
        profiles.loadProfile(profiles.configFilePath(), slot, false);
        s_.window.invalidate();
    } else if (hover == kMinimise) {
        mainHover_ = NO_HIT;
        s_.window.postMinimise(point);
    } else if (hover == kClose) {
        mainHover_ = NO_HIT;
        s_.window.hideToTray();
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
    if (to == PAGE_ADVANCED) {
        s_.window.invalidateAdvancedRegion();
        s_.window.createAdvancedPageWindows();
        s_.window.updateNow();
        s_.window.refreshMacroList();
        s_.window.updateNow();
        return;
    }
    // Each thread clears its flag when it ends, so at most one of each runs at a time.
    if (to == PAGE_MAIN) {
        if (s_.banner.blinkRunning.exchange(1) == 0)
            s_.window.startBannerBlinkThread();
    } else if (s_.previewThreadRunning.exchange(1) == 0) {
        s_.window.startLedPreviewThread();
    }
    if (from == PAGE_ADVANCED)
        s_.window.destroyAdvancedPageWindows();
    s_.window.invalidate();
}

void MainWindowPointer::openAssignmentPopup() {
    menuButton_ = mainHover_;
    const SkinItem& entry = s_.tables.mainItems[static_cast<size_t>(menuButton_)];
    const Point window = s_.window.screenOrigin();
    const Point origin{window.x + entry.x, window.y + entry.y + entry.height};

    if (warningNeeded(s_.profiles.profile().buttonFunction, menuSlot())) {
        const int32_t result = s_.window.showWarning(origin);
        // The modal dialog took the release, so the press has ended here too.
        buttonPressed_ = false;
        s_.window.invalidate();
        if (result == kWarningCancelled)
            return;
    }
    s_.window.openFunctionMenu(origin);
    menuDlgOpen_ = true;
}

void MainWindowPointer::startDrag(Point point) {
    // The system's move loop takes the release, so no button-up will end this press.
    buttonPressed_ = false;
    s_.window.startDrag(point);
}

}  // namespace v270
