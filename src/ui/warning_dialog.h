#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/frame_canvas.h"
#include "platform/picture.h"
#include "settings/config_profile.h"
#include "ui/hit_test.h"
#include "ui/skin_tables.h"

namespace v270 {

// Whether the warning comes before the function menu of slot `slot` (1..6) opens: no other slot
// holds the primary click, so the user may be about to give away the only button that clicks.
bool warningNeeded(const std::array<int32_t, kButtonCount>& buttonFunction, int slot);

// Which of the warning dialog's two buttons is under the pointer: 1 over the first (entry 0),
// 2 over the second (entry 1), NO_HIT elsewhere. The number is also the dialog's result.
class WarningPointer {
  public:
    explicit WarningPointer(const std::array<SkinItem, kWarningItemCount>& items) : items_(items) {}

    // Returns true when the hovered button changed, and so the dialog must repaint.
    bool moveTo(Point point);
    // The result a release ends the dialog with now, or nullopt when it is over neither button
    // and the dialog stays.
    std::optional<int32_t> release() const;
    int32_t hovered() const { return hovered_; }

  private:
    std::array<SkinItem, kWarningItemCount> items_;
    int32_t hovered_ = NO_HIT;
};

struct WarningPictures {
    std::shared_ptr<const platform::Picture> normal;
    std::shared_ptr<const platform::Picture> over;
};

// One frame of the warning dialog: its normal picture, the hovered button from the over
// picture, and the three labels centred in red.
void paintWarning(platform::FrameCanvas& canvas,
                  const std::array<SkinItem, kWarningItemCount>& items,
                  const WarningPictures& pictures, int32_t hovered, platform::FontChoice font);

}  // namespace v270
