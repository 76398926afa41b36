#pragma once

#include "ui/display_scale.h"
#include "ui/skin_item.h"
#include "ui/skin_tables.h"

namespace v270 {

// An entry at another scale: its edges scaled, so that entries that touch still touch.
SkinItem scaledItem(const SkinItem& item, DisplayScale scale);

// Every area and control rectangle of `tables` at `scale`; the texts stay as they are.
SkinTables scaledTables(const SkinTables& tables, DisplayScale scale);

}  // namespace v270
