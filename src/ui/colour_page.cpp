#include "ui/colour_page.h"

#include "ui/skin_indices.h"

namespace v270 {

PressOutcome ColourPage::press(Point, const Hovers& hovers) {
    if (hovers.colour >= colour_item::kFirstLedMode && hovers.colour <= kMaxLedMode) {
        const auto mode = static_cast<uint8_t>(hovers.colour);
        profiles_.edit([&](ConfigProfile& p) { p.ledStatus = mode; });
    } else if (hovers.colour == NO_HIT && hovers.main == NO_HIT) {
        return PressOutcome::DragWindow;
    }
    return PressOutcome::Done;
}

}  // namespace v270
