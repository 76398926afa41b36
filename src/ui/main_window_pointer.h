#pragma once

#include <atomic>
#include <cstdint>
#include <utility>

#include "device/handover_flags.h"
#include "settings/profile_store.h"
#include "ui/frame_state.h"
#include "ui/hit_test.h"
#include "ui/page.h"
#include "ui/pointer_window.h"
#include "ui/skin_indices.h"
#include "ui/skin_tables.h"

namespace v270 {

struct PointerServices {
    ProfileStore& profiles;
    const SkinTables& tables;
    std::atomic<Page>& currentPage;
    BannerState& banner;                         // blinkRunning
    std::atomic<uint8_t>& previewThreadRunning;  // the colour page's LED preview
    PointerWindow& window;
    SettingsCommands& settings;
};

// The main window under the pointer: the hit test of every move against the skin's tables, the
// hover indices that the frames show, and the actions of presses and releases. Page-specific
// entries and the tabs act when the button goes down, the common entries 0..19 when it comes up
// over them, wherever it went down. Presses and releases follow the pointer to their own point
// first, so they act on what lies under them even when no move came before. Runs on the
// window's thread.
class MainWindowPointer {
  public:
    explicit MainWindowPointer(const PointerServices& services) : s_(services) {}

    void onMouseMove(Point point);
    void onLeftButtonDown(Point point);
    void onLeftButtonUp(Point point);

    // The function menu ended by itself (a choice was made): it is no longer open.
    void functionMenuClosed() { menuDlgOpen_ = false; }

    int32_t mainHover() const { return mainHover_; }
    int32_t advancedHover() const { return advancedHover_; }
    int32_t colourHover() const { return colourHover_; }
    bool buttonPressed() const { return buttonPressed_; }
    // The mainItems index (25..30) of the button whose function menu was opened last; its slot is
    // menuButton - 24.
    int32_t menuButton() const { return menuButton_; }
    int32_t menuSlot() const { return menuButton_ - (main_item::kFirstButtonLabel - 1); }
    bool menuDlgOpen() const { return menuDlgOpen_; }

    // The pointer's part of a frame: the hover indices and the pressed look.
    void fill(FrameState& frame) const;

  private:
    Page page() const { return s_.currentPage.load(); }
    // Follows the pointer to `point`: the three hover indices, and a repaint when one changed.
    void track(Point point);
    // Repaints at once the part of the window that the page lets be painted over.
    void repaintNow();

    void pressOnMainPage(Point point);
    void pressOnAdvancedPage(Point point);
    void pressOnColourPage(Point point);
    void switchPage(Page to);
    void openAssignmentPopup();
    void startDrag(Point point);
    template <typename Change>
    void editProfile(Change&& change) {
        s_.profiles.edit(std::forward<Change>(change));
    }

    PointerServices s_;
    int32_t mainHover_ = NO_HIT;
    int32_t advancedHover_ = NO_HIT;
    int32_t colourHover_ = NO_HIT;
    int32_t previousMainHover_ = NO_HIT;
    int32_t previousAdvancedHover_ = NO_HIT;
    int32_t previousColourHover_ = NO_HIT;
    bool buttonPressed_ = false;
    int32_t menuButton_ = main_item::kFirstButtonLabel;
    bool menuDlgOpen_ = false;
};

}  // namespace v270
