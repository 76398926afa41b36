#pragma once

#include <atomic>
#include <functional>
#include <optional>

#include "platform/view_port.h"
#include "ui/advanced_page.h"
#include "ui/frame_state.h"
#include "ui/keyboard_focus.h"
#include "ui/main_window_pointer.h"
#include "ui/page.h"
#include "ui/skin_tables.h"

namespace v270 {

// What the keys of the main window ask for; the window turns its key messages into these.
enum class KeyCommand {
    Next,      // Tab
    Previous,  // Shift+Tab
    Press,     // Enter or Space on the window itself
    OpenMenu,  // Shift+F10 or the context key
};

struct KeyboardServices {
    const SkinTables& tables;
    std::atomic<Page>& currentPage;
    platform::ViewPort& view;
    MainWindowPointer& pointer;
    AdvancedPage& advancedPage;
};

// The main window from the keyboard: Tab and Shift+Tab walk the entries of the page shown with a
// visible mark, the advanced page's controls among them; Enter or Space presses the marked entry
// as a click on its middle would; Shift+F10 or the context key on a button slot opens its
// function menu. Escape and Enter never end the window. Runs on the window's thread.
class KeyboardController {
  public:
    explicit KeyboardController(const KeyboardServices& services) : s_(services) {}

    // Returns true when the command did something, so the key is taken.
    bool onCommand(KeyCommand command);
    // A press of the pointer: the mark goes until the next Tab.
    void onPointerPress();

    // A screen reader or a click moved the focus to `entry`; `pressEntry` is its default action.
    void focus(const FocusEntry& entry);
    void pressEntry(const FocusEntry& entry);

    std::optional<FocusEntry> focused() const { return focus_.focused(); }
    // Told of every move of the focus, for the screen readers' focus events.
    void setFocusObserver(std::function<void(const FocusEntry&)> observer) {
        observer_ = std::move(observer);
    }

    void fill(FrameState& frame) const { frame.focusMark = focus_.markArea(s_.tables); }

  private:
    void moveTo(const FocusEntry& entry);

    KeyboardServices s_;
    KeyboardFocus focus_;
    std::function<void(const FocusEntry&)> observer_;
};

}  // namespace v270
