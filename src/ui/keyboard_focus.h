#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/pixel_types.h"
#include "platform/view_port.h"
#include "ui/page.h"
#include "ui/skin_tables.h"

namespace v270 {

using platform::AdvancedControl;

// One entry of the window the keyboard can reach: a painted entry of one of the three tables,
// or one of the advanced page's controls (`index` is then an AdvancedControl).
struct FocusEntry {
    enum class Kind { Main, Advanced, Colour, Control };
    Kind kind = Kind::Main;
    int32_t index = 0;

    bool painted() const { return kind != Kind::Control; }
    AdvancedControl control() const { return static_cast<AdvancedControl>(index); }
    bool operator==(const FocusEntry&) const = default;
};

// The entries of `page` in the order Tab visits them: the tabs, the profiles, then the page's
// own entries as they read (the button slots, wheel and DPI levels; the macro controls, speeds
// and fire interval; the LED modes), then Apply and the rest of the common row. Entries the
// skin leaves without an area are skipped: they cannot be clicked either.
std::vector<FocusEntry> focusOrder(Page page, const SkinTables& tables);

// The area of a painted entry in `tables`, or of a control's place.
platform::PixelRect focusArea(const FocusEntry& entry, const SkinTables& tables);

// Where the keyboard focus is on the window, and whether its mark shows. Mouse users never see
// the mark: it appears with the first Tab and goes with the next press of the pointer. Runs on
// the window's thread.
class KeyboardFocus {
  public:
    // Moves to the next entry of `page` (the previous one with `backwards`), wrapping round,
    // and shows the mark. An entry that is not on the page any more starts from the ends.
    FocusEntry move(Page page, const SkinTables& tables, bool backwards);
    // The focus goes to `entry` (a click on a control, a screen reader's choice).
    void set(const FocusEntry& entry) { focused_ = entry; }
    void hideMark() { markShown_ = false; }

    std::optional<FocusEntry> focused() const { return focused_; }
    bool markShown() const { return markShown_; }
    // The area the frame marks: the focused painted entry's while the mark shows.
    std::optional<platform::PixelRect> markArea(const SkinTables& tables) const;

  private:
    std::optional<FocusEntry> focused_;
    bool markShown_ = false;
};

}  // namespace v270
