#include "ui/keyboard_controller.h"

#include "ui/skin_indices.h"

namespace v270 {

bool KeyboardController::onCommand(KeyCommand command) {
    const Page page = s_.currentPage.load();
    switch (command) {
        case KeyCommand::Next:
        case KeyCommand::Previous:
            moveTo(focus_.move(page, s_.tables, command == KeyCommand::Previous));
            return true;
        case KeyCommand::Press: {
            const std::optional<FocusEntry> entry = focus_.focused();
            if (!entry || !focus_.markShown() || !entry->painted())
                return false;
            pressEntry(*entry);
            return true;
        }
        case KeyCommand::OpenMenu: {
            const std::optional<FocusEntry> entry = focus_.focused();
            const bool buttonSlot = entry && entry->kind == FocusEntry::Kind::Main &&
                                    entry->index >= main_item::kFirstButtonLabel &&
                                    entry->index <= main_item::kLastButtonLabel;
            if (!buttonSlot || page != PAGE_MAIN)
                return false;
            pressEntry(*entry);
            return true;
        }
    }
    return false;
}

void KeyboardController::onPointerPress() {
    if (!focus_.markShown())
        return;
    focus_.hideMark();
    s_.view.invalidate();
}

void KeyboardController::focus(const FocusEntry& entry) {
    focus_.set(entry);
    moveTo(entry);
}

void KeyboardController::pressEntry(const FocusEntry& entry) {
    if (!entry.painted()) {
        focus(entry);
        return;
    }
    const platform::PixelRect area = focusArea(entry, s_.tables);
    if (area.empty())
        return;
    s_.pointer.click({area.left + area.width() / 2, area.top + area.height() / 2});
}

void KeyboardController::moveTo(const FocusEntry& entry) {
    if (entry.painted()) {
        s_.view.focusWindow();
    } else {
        s_.advancedPage.focusControl(entry.control());
    }
    s_.view.invalidate();
    if (observer_)
        observer_(entry);
}

}  // namespace v270
