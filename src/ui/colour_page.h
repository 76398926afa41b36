#pragma once

#include "device/mouse_state.h"
#include "settings/profile_store.h"
#include "ui/page_controller.h"

namespace v270 {

// The lighting page: the LED mode, and the DPI value the mouse has in effect.
class ColourPage final : public PageController {
  public:
    ColourPage(ProfileStore& profiles, const MouseStateSource& mouse)
        : profiles_(profiles), mouse_(mouse) {}

    PressOutcome press(Point point, const Hovers& hovers) override;
    void fill(FrameState& frame) const override { frame.mouse = mouse_.mouseState(); }

  private:
    ProfileStore& profiles_;
    const MouseStateSource& mouse_;
};

}  // namespace v270
