#include "app/win32/accessible_window.h"
#include "app/win32/main_window.h"
#include "app/win32/window_messages.h"

namespace v270::win32 {

namespace {

// The child id of `entry` among the entries of the page shown: its place in Tab order, from 1.
long childIdOf(const std::vector<EntryDescription>& entries, const FocusEntry& entry) {
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].entry == entry)
            return static_cast<long>(i + 1);
    }
    return CHILDID_SELF;
}

}  // namespace

void VADU_VIredoVud::startAccessibility() {
    accessible_ = new AccessibleWindow(handle(), *this);
    program_->keyboard.setFocusObserver([this](const FocusEntry& entry) {
        NotifyWinEvent(EVENT_OBJECT_FOCUS, handle(), OBJID_CLIENT,
                       childIdOf(accessibleEntries(), entry));
    });
}

void VADU_VIredoVud::stopAccessibility() {
    program_->keyboard.setFocusObserver(nullptr);
    if (accessible_ == nullptr)
        return;
    accessible_->disconnect();
    accessible_->Release();
    accessible_ = nullptr;
}

LRESULT VADU_VIredoVud::onGetObject(WPARAM flags, LPARAM objectId) {
    if (static_cast<LONG>(objectId) != OBJID_CLIENT || accessible_ == nullptr || !com_ ||
        !com_->usable())
        return 0;
    return LresultFromObject(kAccessibleInterfaceId, flags, accessible_);
}

std::vector<EntryDescription> VADU_VIredoVud::accessibleEntries() {
    return describeEntries(program_->frame(), program_->tables, program_->keyboard.focused());
}

bool VADU_VIredoVud::englishInterface() {
    return program_->lifecycle.english();
}

void VADU_VIredoVud::focusAccessibleEntry(const FocusEntry& entry) {
    program_->keyboard.focus(entry);
}

void VADU_VIredoVud::pressAccessibleEntry(const FocusEntry& entry) {
    // A press may open a modal dialog; it waits until the reader's call has returned.
    PostMessageW(handle(), kAccessiblePressMessage, static_cast<WPARAM>(entry.kind),
                 static_cast<LPARAM>(entry.index));
}

void VADU_VIredoVud::onAccessiblePress(WPARAM kind, LPARAM index) {
    const FocusEntry entry{static_cast<FocusEntry::Kind>(kind), static_cast<int32_t>(index)};
    // Only an entry of the page shown now is pressed.
    const std::vector<EntryDescription> entries = accessibleEntries();
    if (childIdOf(entries, entry) != CHILDID_SELF)
        program_->keyboard.pressEntry(entry);
}

}  // namespace v270::win32
