#include "ui/skin_scaling.h"

namespace v270 {

namespace {

template <typename Table>
void scaleItems(Table& items, DisplayScale scale) {
    for (SkinItem& item : items)
        item = scaledItem(item, scale);
}

}  // namespace

SkinItem scaledItem(const SkinItem& item, DisplayScale scale) {
    const platform::PixelRect area = scale.rect(item.area());
    return SkinItem{area.left, area.top, area.width(), area.height(), item.label};
}

SkinTables scaledTables(const SkinTables& tables, DisplayScale scale) {
    SkinTables scaled = tables;
    if (scale.identity())
        return scaled;
    scaleItems(scaled.mainItems, scale);
    scaleItems(scaled.colourItems, scale);
    scaleItems(scaled.advancedItems, scale);
    scaleItems(scaled.warningItems, scale);
    for (platform::PixelRect* rect : {&scaled.repeatEditRect, &scaled.nameEditRect,
                                      &scaled.macroListRect, &scaled.stepListRect}) {
        *rect = scale.rect(*rect);
    }
    return scaled;
}

}  // namespace v270
