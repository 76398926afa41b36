#include "ui/warning_dialog.h"

#include <cstddef>

#include "settings/function_codes.h"
#include "ui/skin_indices.h"
#include "ui/ui_text.h"

namespace v270 {

namespace {

constexpr int32_t kFirstButton = 1;
constexpr int32_t kSecondButton = 2;

}  // namespace

bool warningNeeded(const std::array<int32_t, kButtonCount>& buttonFunction, int slot) {
    for (int other = 1; other <= kButtonCount; ++other) {
        if (other != slot &&
            buttonFunction[static_cast<size_t>(other - 1)] == function_code::kPrimaryClick) {
            return false;
        }
    }
    return true;
}

bool WarningPointer::moveTo(Point point) {
    int32_t now = NO_HIT;
    if (items_[warning_item::kConfirm].contains(point.x, point.y)) {
        now = kFirstButton;
    } else if (items_[warning_item::kCancel].contains(point.x, point.y)) {
        now = kSecondButton;
    }
    if (now == hovered_)
        return false;
    hovered_ = now;
    return true;
}

std::optional<int32_t> WarningPointer::release() const {
    if (hovered_ == kFirstButton || hovered_ == kSecondButton)
        return hovered_;
    return std::nullopt;
}

void paintWarning(platform::FrameCanvas& canvas,
                  const std::array<SkinItem, kWarningItemCount>& items,
                  const WarningPictures& pictures, int32_t hovered, platform::FontChoice font) {
    if (pictures.normal) {
        const platform::PixelSize size = pictures.normal->size();
        canvas.copy(*pictures.normal, {0, 0, size.width, size.height}, 0, 0);
    }
    if ((hovered == kFirstButton || hovered == kSecondButton) && pictures.over) {
        const platform::PixelRect area = items[static_cast<size_t>(hovered - 1)].area();
        if (!area.empty())
            canvas.copy(*pictures.over, area, area.left, area.top);
    }
    for (const SkinItem& item : items) {
        if (item.label.empty())
            continue;
        const platform::TextExtent extent = canvas.measureText(item.label, font);
        canvas.drawText(item.label, item.x + (item.width - extent.width) / 2,
                        item.y + (item.height - extent.height) / 2, font, text_colour::kRed);
    }
}

}  // namespace v270
