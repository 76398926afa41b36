#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/pixel_types.h"
#include "ui/frame_state.h"
#include "ui/keyboard_focus.h"
#include "ui/skin_tables.h"

namespace v270 {

// What a screen reader is told an entry is.
enum class EntryRole { PushButton, PageTab, RadioButton, CheckButton, Text, List };

// One entry of the page shown, as a screen reader sees it.
struct EntryDescription {
    FocusEntry entry;
    std::u16string name;  // in the interface language: "Button 3: Macro 2", "DPI level 2: 1600"
    EntryRole role = EntryRole::PushButton;
    platform::PixelRect area;  // client pixels
    bool selected = false;     // the page shown, the current profile, a chosen value
    bool checked = false;      // a DPI level that is on
    bool focused = false;

    bool operator==(const EntryDescription&) const = default;
};

// The entries of the page `state` shows, in the order Tab visits them.
std::vector<EntryDescription> describeEntries(const FrameState& state, const SkinTables& tables,
                                              std::optional<FocusEntry> focused);

// The name of every entry's default action: what a click does.
std::u16string_view defaultActionName(bool english);

}  // namespace v270
