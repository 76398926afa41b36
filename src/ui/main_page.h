#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "device/handover_flags.h"
#include "platform/view_port.h"
#include "settings/profile_store.h"
#include "ui/page_animation.h"
#include "ui/page_controller.h"
#include "ui/skin_indices.h"
#include "ui/skin_tables.h"

namespace v270 {

// The buttons-and-DPI page: the function menus of the six buttons (behind the warning when the
// only left click would be reassigned), the wheel setting, and the DPI levels' switches, choices
// and values. It owns the banner's blinking, which runs while the page is shown and the driver
// waits for its start signal.
class MainPage final : public PageController, public StartPromptListener {
  public:
    MainPage(ProfileStore& profiles, const SkinTables& tables, platform::ViewPort& view,
             std::unique_ptr<PageAnimation> blinking);

    void enter() override { blinking_->ensureRunning(); }
    PressOutcome press(Point point, const Hovers& hovers) override;

    // An apply raised the start prompt: the number blinks (on this page).
    void startPromptRaised() override { blinking_->ensureRunning(); }

    // A press anywhere on the page ends an open function menu first.
    void closeFunctionMenu();
    // The function menu ended by itself (a choice was made): it is no longer open.
    void functionMenuClosed() { menuDlgOpen_ = false; }

    bool menuDlgOpen() const { return menuDlgOpen_; }
    // The mainItems index (25..30) of the button whose function menu was opened last; its slot
    // is menuButton - 24.
    int32_t menuButton() const { return menuButton_; }
    int32_t menuSlot() const { return menuButton_ - (main_item::kFirstButtonLabel - 1); }

  private:
    PressOutcome openAssignmentPopup(int32_t button);

    ProfileStore& profiles_;
    const SkinTables& tables_;
    platform::ViewPort& view_;
    int32_t menuButton_ = main_item::kFirstButtonLabel;
    bool menuDlgOpen_ = false;
    std::unique_ptr<PageAnimation> blinking_;  // last: its thread ends before the rest goes
};

}  // namespace v270
