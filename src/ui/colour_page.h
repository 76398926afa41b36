#pragma once

#include <memory>

#include "device/mouse_state.h"
#include "settings/profile_store.h"
#include "ui/led_preview.h"
#include "ui/page_controller.h"

namespace v270 {

// The lighting page: the LED mode, the DPI value the mouse has in effect, and the live preview of
// the applied LED mode, whose thread runs while the page is shown.
class ColourPage final : public PageController {
  public:
    ColourPage(ProfileStore& profiles, const MouseStateSource& mouse,
               std::unique_ptr<LedPreviewAnimation> preview)
        : profiles_(profiles), mouse_(mouse), preview_(std::move(preview)) {}

    // The preview starts unless its thread still runs from an earlier visit, which goes on.
    void enter() override { preview_->ensureRunning(); }
    PressOutcome press(Point point, const Hovers& hovers) override;
    void fill(FrameState& frame) const override {
        frame.mouse = mouse_.mouseState();
        frame.ledPreview = preview_->preview();
    }

  private:
    ProfileStore& profiles_;
    const MouseStateSource& mouse_;
    std::unique_ptr<LedPreviewAnimation> preview_;  // last: its thread ends before the rest goes
};

}  // namespace v270
