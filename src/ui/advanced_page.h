#pragma once

#include <cstdint>
#include <memory>

#include "platform/view_port.h"
#include "settings/macro_store.h"
#include "settings/profile_store.h"
#include "ui/page_controller.h"
#include "ui/skin_tables.h"

namespace v270 {

// The advanced page: the macro list and its controls, the pointer speed and wheel lines, and the
// fire interval. Its four standard controls exist while the page is shown.
class AdvancedPage final : public PageController {
  public:
    AdvancedPage(ProfileStore& profiles, MacroStore& macros, const SkinTables& tables,
                 platform::ViewPort& view);

    // Paints the page's region at once, creates the controls over it and lists the macros.
    void enter() override;
    // Destroys the controls.
    void leave() override { controls_.reset(); }
    PressOutcome press(Point point, const Hovers& hovers) override;
    void fill(FrameState& frame) const override;

    bool shown() const { return controls_ != nullptr; }

    // Lists the macros' names and selects the current macro (the last one when it lies beyond),
    // whose name the name edit then shows. Nothing while the page is not shown.
    void refreshMacroList();

  private:
    ProfileStore& profiles_;
    MacroStore& macros_;
    const SkinTables& tables_;
    platform::ViewPort& view_;
    std::unique_ptr<platform::AdvancedPageControls> controls_;
};

}  // namespace v270
